#include "registers.h"

#include "connection.h"
#include "function_trail.h"

namespace zul {
namespace {

constexpr std::uint8_t kTickBit = 0x01;
constexpr std::uint8_t kModeMask = 0x28;
constexpr int kTickReads = 500;
constexpr int kLoops525 = 97;
constexpr int kLoops625 = 118;

} // namespace

int writeRegisters(int first, const std::uint8_t *bytes, int count)
{
    DriverChannel *device = connection().device.get();
    if (!device)
        return -1;
    const WriteRegistersInput input{static_cast<std::uint32_t>(first) & 0xFFFF, static_cast<std::uint32_t>(count),
                                    reinterpret_cast<std::uintptr_t>(bytes)};
    std::uint32_t written = 0;
    std::uint32_t returned = 0;
    if (!device->control(kWriteRegisters, &input, sizeof input, &written, sizeof written, &returned))
        return -1;
    return written == static_cast<std::uint32_t>(count) ? count : -2;
}

int readRegisters(int first, std::uint8_t *bytes, int count)
{
    DriverChannel *device = connection().device.get();
    if (!device)
        return -1;
    const ReadRegistersInput input{static_cast<std::uint32_t>(first) & 0xFFFF, 0, static_cast<std::uint32_t>(count)};
    std::uint32_t returned = 0;
    if (!device->control(kReadRegisters, &input, sizeof input, bytes, static_cast<std::size_t>(count), &returned))
        return -1;
    return count;
}

int writeControl(std::uint8_t value)
{
    if (writeRegisters(kControlRegister, &value, 1) == 1)
        return 0;
    failed(0);
    return kStatusOnFailure;
}

std::uint8_t readStatus()
{
    std::uint8_t status = 0;
    if (readRegisters(kControlRegister, &status, 1) == 1)
        return status;
    failed(0);
    return kStatusOnFailure;
}

void waitUnits(std::uint16_t units)
{
    const std::uint8_t mode = readStatus() & kModeMask;
    const ZulCard *card = currentCard();
    const long loops = static_cast<long>(card && card->standard == 1 ? kLoops625 : kLoops525) * units;
    for (long loop = 0; loop < loops; ++loop) {
        writeControl(mode);
        int reads = 0;
        while (reads < kTickReads && !(readStatus() & kTickBit))
            ++reads;
        // A card that stops ticking would hold the caller for minutes.
        if (reads == kTickReads)
            return;
    }
}

} // namespace zul
