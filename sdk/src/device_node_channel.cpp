#include "device_node_channel.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

namespace zul {
namespace {

// What the Linux driver takes with every request: the separate input and
// output buffers of the original request model, passed by address.
struct K7q02Transfer {
    std::uint64_t input;
    std::uint32_t inputSize;
    std::uint32_t outputSize;
    std::uint64_t output;
    std::uint32_t returned;
    std::uint32_t reserved;
};

constexpr std::size_t kWindowBytes = 4096;

class DeviceNodeChannel final : public DriverChannel {
public:
    explicit DeviceNodeChannel(std::string path) : path_(std::move(path)) {}
    ~DeviceNodeChannel() override { close(); }

    bool open() override
    {
        if (fd_ >= 0)
            return true;
        fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        return fd_ >= 0;
    }

    void close() override
    {
        if (window_) {
            ::munmap(const_cast<std::uint8_t *>(window_), kWindowBytes);
            window_ = nullptr;
        }
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    bool control(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                 std::size_t outputSize, std::uint32_t *returned) override
    {
        if (fd_ < 0)
            return false;
        K7q02Transfer transfer{};
        transfer.input = reinterpret_cast<std::uintptr_t>(input);
        transfer.inputSize = static_cast<std::uint32_t>(inputSize);
        transfer.output = reinterpret_cast<std::uintptr_t>(output);
        transfer.outputSize = static_cast<std::uint32_t>(outputSize);
        int rc;
        do
            rc = ::ioctl(fd_, code, &transfer);
        while (rc < 0 && errno == EINTR);
        if (rc < 0)
            return false;
        if (returned)
            *returned = transfer.returned;
        return true;
    }

    std::uint8_t readWindowByte(std::uint32_t offset) override
    {
        volatile std::uint8_t *window = mapped();
        return window && offset < kWindowBytes ? window[offset] : 0;
    }

    void writeWindowByte(std::uint32_t offset, std::uint8_t value) override
    {
        volatile std::uint8_t *window = mapped();
        if (window && offset < kWindowBytes)
            window[offset] = value;
    }

    std::uint16_t readWindowWord(std::uint32_t offset) override
    {
        volatile std::uint8_t *window = mapped();
        if (!window || offset + 1 >= kWindowBytes)
            return 0;
        return static_cast<std::uint16_t>(window[offset] | window[offset + 1] << 8);
    }

    void pause(unsigned milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }

private:
    // The driver maps the window on the open-card request; the process
    // reaches it by mapping the device node itself, once, on first use.
    volatile std::uint8_t *mapped()
    {
        if (!window_ && fd_ >= 0) {
            void *address = ::mmap(nullptr, kWindowBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
            if (address != MAP_FAILED)
                window_ = static_cast<volatile std::uint8_t *>(address);
        }
        return window_;
    }

    std::string path_;
    int fd_ = -1;
    volatile std::uint8_t *window_ = nullptr;
};

} // namespace

std::unique_ptr<DriverChannel> makeDeviceNodeChannel(std::string path)
{
    return std::make_unique<DeviceNodeChannel>(std::move(path));
}

} // namespace zul
