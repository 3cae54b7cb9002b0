#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zul {

// Request codes of the card's kernel driver. They are kept identical to the
// codes the driver has always understood so that a port of the driver needs
// no translation table.
enum DriverRequest : std::uint32_t {
    kProbe = 0x222000,
    kOpenCard = 0x222004,
    kCloseCard = 0x222008,
    kIdentify = 0x222014,
    kReadRegisters = 0x222018,
    kWriteRegisters = 0x22201C,
    kReadLineBytes = 0x222020,
    kReadLine = 0x222024,
    kReadFrame = 0x222028,
};

// Replies of the open-card request in place of a window token.
constexpr std::uint32_t kWindowNoCard = 0;
constexpr std::uint32_t kWindowNoDriver = 65534;
constexpr std::uint32_t kWindowOtherBoard = 65535;

constexpr std::uint32_t kStatusFreshStart = 1u << 0;
constexpr std::uint32_t kStatusNarrowCard = 1u << 1;

// Offsets inside the card's I/O window.
constexpr std::uint32_t kWindowTriggerByte = 2;
constexpr std::uint32_t kWindowDataPort = 2048;

struct OpenCardReply {
    std::uint32_t window;
    std::uint32_t status;
    std::uint32_t cardId;
};

struct CloseCardInput {
    std::uint32_t cardId;
    std::uint32_t flag;
};

struct ReadRegistersInput {
    std::uint32_t first;
    std::uint32_t zero;
    std::uint32_t count;
};

// The driver always took the caller's bytes by address. A user-space
// address no longer fits a 32-bit word, so the address travels as 64 bits;
// first and count keep their places.
struct WriteRegistersInput {
    std::uint32_t first;
    std::uint32_t count;
    std::uint64_t bytes;
};

// Input of the three transfer requests (line bytes, line, frame).
struct TransferInput {
    std::uint32_t count;
    std::uint32_t dataPort;
    std::uint32_t lines;
};

// The library's one way to the card: the device node of the kernel driver
// on a lab machine, or the virtual card everywhere else. Buffers and
// outcomes are those of the driver requests; `returned` receives the byte
// count the driver reports.
class DriverChannel {
public:
    virtual ~DriverChannel() = default;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool control(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                         std::size_t outputSize, std::uint32_t *returned) = 0;

    // The window's bytes are reached through the channel because the
    // record only keeps the driver's 32-bit token for it.
    virtual std::uint8_t readWindowByte(std::uint32_t offset) = 0;
    virtual void writeWindowByte(std::uint32_t offset, std::uint8_t value) = 0;
    virtual std::uint16_t readWindowWord(std::uint32_t offset) = 0;

    // A freshly powered card needs time to start up before it answers.
    virtual void pause(unsigned milliseconds) = 0;
};

// The channel `ZUL_init` opens: the virtual card when ZUL_DRIVER is
// "virtual" (or a test chose one), the device node otherwise.
std::unique_ptr<DriverChannel> makeDriverChannel();

} // namespace zul
