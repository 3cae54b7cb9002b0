#include "virtual_card.h"

#include "claims.h"
#include "moving_scene.h"
#include "replacing_file.h"

#include <algorithm>
#include <cstring>

namespace zul::vcard {
namespace {

// Register 0 as the digitizer reports it: video present and 625 lines come
// from the signal, the other bits are what was last written.
constexpr std::uint8_t kVideoPresent = 0x80;
constexpr std::uint8_t kLines625 = 0x10;
// A chip revision the card answers in register 23, which nothing writes.
constexpr std::uint8_t kChipRevision = 0x1C;
constexpr std::uint8_t kStartUpValue = 119;
constexpr int kStartUpRegister = 31;

// Control bits, acting on their rising edge as the card's strobes do.
constexpr std::uint8_t kResetLinePointer = 128;
constexpr std::uint8_t kAdvanceLinePointer = 64;
constexpr std::uint8_t kStartAcquisition = 16;
constexpr std::uint8_t kModeBits = 0x28;

// Status bits.
constexpr std::uint8_t kTick = 0x01;
constexpr std::uint8_t kRunning = 0x10;
constexpr std::uint8_t kPhase = 0x40;
constexpr std::uint8_t kStarted = 0x80;

template <typename T> bool take(const void *input, std::size_t size, T &out)
{
    if (!input || size < sizeof(T))
        return false;
    std::memcpy(&out, input, sizeof(T));
    return true;
}

} // namespace

VirtualCard::VirtualCard(VirtualCardOptions options)
    : options_(std::move(options)), memory_(kMemoryWords, 0), needsStartUp_(options_.fresh)
{
    registers_[23] = kChipRevision;
    if (options_.failClaim > 0)
        failClaimAfter(options_.failClaim - 1);
    if (options_.failFileWrite > 0)
        failFileWriteAfter(options_.failFileWrite - 1);
}

bool VirtualCard::openDevice()
{
    if (options_.noDevice)
        return false;
    deviceOpen_ = true;
    ++deviceOpens_;
    return true;
}

void VirtualCard::closeDevice()
{
    if (!deviceOpen_)
        return;
    deviceOpen_ = false;
    ++deviceCloses_;
    // Closing the handle releases whatever cards it left open.
    cardsOpen_ = 0;
}

bool VirtualCard::armed(int &countdown)
{
    return countdown > 0 && --countdown == 0;
}

void VirtualCard::note(std::uint32_t code, int first, const std::uint8_t *bytes, std::size_t count, bool ok)
{
    if (!recording_)
        return;
    Transfer t{code, first, {}, ok};
    if (bytes)
        t.bytes.assign(bytes, bytes + count);
    transfers_.push_back(std::move(t));
}

bool VirtualCard::request(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                          std::size_t outputSize, std::uint32_t *returned)
{
    if (!deviceOpen_)
        return false;
    std::uint32_t dummy = 0;
    if (!returned)
        returned = &dummy;
    *returned = 0;
    switch (code) {
    case kProbe:
        if (options_.probeFails || !output || outputSize < 4) {
            note(code, -1, nullptr, 0, false);
            return false;
        }
        std::memset(output, 0, 4);
        *returned = 4;
        note(code, -1, nullptr, 0, true);
        return true;
    case kOpenCard:
        return openCard(input, inputSize, output, outputSize, returned);
    case kCloseCard:
        return closeCard(input, inputSize);
    case kIdentify:
        return identify(input, inputSize, output, outputSize, returned);
    case kReadRegisters:
        return readRegisters(input, inputSize, output, outputSize, returned);
    case kWriteRegisters:
        return writeRegisters(input, inputSize, output, outputSize, returned);
    case kReadLineBytes:
    case kReadLine:
    case kReadFrame:
        return transfer(code, input, inputSize, output, outputSize, returned);
    default:
        note(code, -1, nullptr, 0, false);
        return false;
    }
}

bool VirtualCard::openCard(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                           std::uint32_t *returned)
{
    std::uint32_t which = 0;
    if (!take(input, inputSize, which) || which != 2 || !output || outputSize < sizeof(OpenCardReply) ||
        options_.openReply == OpenReply::Fail) {
        note(kOpenCard, -1, nullptr, 0, false);
        return false;
    }
    OpenCardReply reply{};
    switch (options_.openReply) {
    case OpenReply::NoCard:
        reply.window = kWindowNoCard;
        break;
    case OpenReply::NoDriver:
        reply.window = kWindowNoDriver;
        break;
    case OpenReply::OtherBoard:
        reply.window = kWindowOtherBoard;
        break;
    default:
        reply.window = options_.window;
        reply.status = (needsStartUp_ ? kStatusFreshStart : 0) | (options_.narrow ? kStatusNarrowCard : 0);
        reply.cardId = options_.cardId;
        ++cardsOpen_;
        break;
    }
    std::memcpy(output, &reply, sizeof reply);
    *returned = sizeof reply;
    note(kOpenCard, -1, reinterpret_cast<const std::uint8_t *>(&reply), sizeof reply, true);
    return true;
}

bool VirtualCard::closeCard(const void *input, std::size_t inputSize)
{
    CloseCardInput close{};
    if (!take(input, inputSize, close) || close.cardId != options_.cardId) {
        note(kCloseCard, -1, nullptr, 0, false);
        return false;
    }
    closeFlags_.push_back(close.flag);
    if (cardsOpen_ > 0)
        --cardsOpen_;
    note(kCloseCard, -1, nullptr, 0, true);
    return true;
}

bool VirtualCard::identify(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                           std::uint32_t *returned)
{
    std::uint32_t id = 0;
    if (options_.identifyFails || !take(input, inputSize, id) || id != options_.cardId || !output ||
        outputSize == 0) {
        note(kIdentify, -1, nullptr, 0, false);
        return false;
    }
    const std::size_t length = std::min(std::strlen(kIdentification), outputSize - 1);
    auto *text = static_cast<char *>(output);
    std::memcpy(text, kIdentification, length);
    text[length] = '\0';
    *returned = static_cast<std::uint32_t>(length + 1);
    note(kIdentify, -1, reinterpret_cast<const std::uint8_t *>(text), length + 1, true);
    return true;
}

bool VirtualCard::readRegisters(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                                std::uint32_t *returned)
{
    ReadRegistersInput in{};
    bool ok = take(input, inputSize, in) && output && outputSize >= in.count;
    const int first = static_cast<int>(in.first & 0xFFFF);
    ok = ok && first + static_cast<std::size_t>(in.count) <= kRegisters;
    if (ok) {
        const bool status = first <= kControlRegister && kControlRegister < first + static_cast<int>(in.count);
        if (status && options_.statusFails)
            ok = false;
        else if (!status && armed(options_.failRead))
            ok = false;
    }
    if (!ok) {
        note(kReadRegisters, first, nullptr, 0, false);
        return false;
    }
    auto *bytes = static_cast<std::uint8_t *>(output);
    for (std::uint32_t i = 0; i < in.count; ++i)
        bytes[i] = readRegister(first + static_cast<int>(i));
    *returned = in.count;
    note(kReadRegisters, first, bytes, in.count, true);
    return true;
}

bool VirtualCard::writeRegisters(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                                 std::uint32_t *returned)
{
    WriteRegistersInput in{};
    bool ok = take(input, inputSize, in) && output && outputSize >= 4;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(static_cast<std::uintptr_t>(in.bytes));
    const int first = static_cast<int>(in.first & 0xFFFF);
    ok = ok && (bytes || in.count == 0) && first + static_cast<std::size_t>(in.count) <= kRegisters;
    std::uint32_t count = in.count;
    if (ok) {
        const bool control = first <= kControlRegister && kControlRegister < first + static_cast<int>(in.count);
        if (control && options_.controlFails)
            ok = false;
        else if (!control && armed(options_.failWrite))
            ok = false;
        else if (!control && armed(options_.shortWrite) && count > 0)
            --count;
    }
    if (!ok) {
        note(kWriteRegisters, first, bytes, bytes ? in.count : 0, false);
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        writeRegister(first + static_cast<int>(i), bytes[i]);
    std::memcpy(output, &count, 4);
    *returned = 4;
    note(kWriteRegisters, first, bytes, count, true);
    return true;
}

std::uint8_t VirtualCard::readRegister(int number)
{
    if (number == kControlRegister)
        return readStatus();
    if (number == 0) {
        std::uint8_t value = registers_[0] & ~(kVideoPresent | kLines625);
        if (options_.standard != 0)
            value |= kVideoPresent;
        if (options_.standard == 625)
            value |= kLines625;
        return value;
    }
    return registers_[static_cast<std::size_t>(number)];
}

void VirtualCard::writeRegister(int number, std::uint8_t value)
{
    if (number == kControlRegister) {
        writeControl(value);
        return;
    }
    registers_[static_cast<std::size_t>(number)] = value;
    if (number == kStartUpRegister && value == kStartUpValue)
        needsStartUp_ = false;
}

std::uint8_t VirtualCard::peekStatus() const
{
    std::uint8_t status = control_ & kModeBits;
    if (!options_.noTick)
        status |= kTick;
    if (acquiring_)
        status |= kRunning;
    if (phase_)
        status |= kPhase;
    if (acquisitionSeen_)
        status |= kStarted;
    return status;
}

std::uint8_t VirtualCard::readStatus()
{
    ++statusReads_;
    // Without a signal there are no fields: the phase bit stands still and
    // an acquisition waits for a vertical sync that never comes.
    // A field lasts 37 status reads: no multiple of the reads a 1-unit wait
    // makes on either standard, so a poll that waits between readings still
    // sees the phase change.
    if (options_.standard != 0)
        phase_ = (statusReads_ / 37) % 2 != 0;
    const bool ticking = acquiring_ && !options_.acquisitionStuck && options_.standard != 0;
    if (ticking && acquisitionReadsLeft_ == 0)
        endAcquisition();
    else if (ticking)
        --acquisitionReadsLeft_;
    return peekStatus();
}

void VirtualCard::writeControl(std::uint8_t value)
{
    ++controlWrites_;
    const std::uint8_t rising = value & ~control_;
    control_ = value;
    if (rising & kResetLinePointer) {
        linePointer_ = 0;
        acquisitionSeen_ = false;
    }
    if (rising & kAdvanceLinePointer)
        ++linePointer_;
    if (rising & kStartAcquisition) {
        acquiring_ = true;
        acquisitionSeen_ = true;
        acquisitionMode_ = value & kModeBits;
        acquisitionReadsLeft_ = options_.acquisitionReads;
        ++acquisitions_;
    }
}

void VirtualCard::endAcquisition()
{
    acquiring_ = false;
    if (options_.fringes) {
        drawFringeScene(picture_, options_.standard == 525 ? 780 : 950, options_.standard == 525 ? 510 : 610,
                        acquisitions_);
        pictureKey_ = "\n(set)";
    }
    if (digitizeHook_)
        digitizeHook_(acquisitions_);
    digitize();
}

const VideoFrame &VirtualCard::picture()
{
    const std::string key = options_.source.empty() ? "\n(chart)" + std::to_string(options_.standard)
                                                    : options_.source;
    if (pictureKey_ != "\n(set)" && key != pictureKey_) {
        if (options_.source.empty())
            picture_ = options_.standard == 525 ? testChart(780, 510) : testChart(950, 610);
        else
            picture_ = loadPicture(options_.source);
        pictureKey_ = key;
    }
    return picture_;
}

// Fills card memory from the picture as the geometry registers say.
// Without scaling (HS and VS zero) stored pixel k of line m is source pixel
// (HD - base + k) of source line (VD - 2 + m) in frame lines, or of field
// line (VD / 2 - 2 + m), that is frame line 2 (VD / 2 - 2 + m), in a field
// capture: exactly the window the library asked for, one line early when it
// moved an odd first line up. A scaled window samples the nearest source
// pixel and line at or before each stored one (no filtering).
//
// A colour line holds one word per pixel, the chroma byte first: Cb on even
// and Cr on odd positions of the video line (HD + k), each taken from that
// word's own pixel. A monochrome line holds two Y samples per word, the
// first in the low byte.
void VirtualCard::digitize()
{
    const VideoFrame &source = picture();
    const GeometryRegisters g = decodeGeometry();
    const int vd = g.vd, va = g.va, hd = g.hd, w2 = g.w2, yScale512 = g.yScale512;
    const bool interlaced = (acquisitionMode_ & 8) != 0;
    const bool monochrome = (acquisitionMode_ & 32) != 0;
    const int base = baseDelay();
    if (yScale512 == 0 || w2 == 0)
        return;

    const int activeLines = interlaced ? va : va / 2;
    const int firstLine = interlaced ? vd - 2 : vd / 2 - 2;
    const std::size_t lines =
        std::min<std::size_t>(kMemoryLines, static_cast<std::size_t>((activeLines * 512 + yScale512 - 1) / yScale512));
    const long xStep = g.hs + 4096; // source pixels per stored pixel, in 1/4096
    const int firstPixel = static_cast<int>(hd * xStep / 4096) - base;
    const std::size_t words = std::min<std::size_t>(lineStride_, static_cast<std::size_t>(monochrome ? w2 / 2 : w2));
    // Whatever a caller wrote to the registers, the card stays in its memory.
    for (std::size_t m = 0; m < lines && (m + 1) * lineStride_ <= memory_.size(); ++m) {
        const int sourceLine = firstLine + static_cast<int>(m * static_cast<std::size_t>(yScale512) / 512);
        const int row = interlaced ? sourceLine : 2 * sourceLine;
        std::uint16_t *out = &memory_[m * lineStride_];
        auto sample = [&](int k) { return source.at(firstPixel + static_cast<int>(k * xStep / 4096), row); };
        for (std::size_t w = 0; w < words; ++w) {
            const int k = static_cast<int>(w);
            if (monochrome) {
                out[w] = static_cast<std::uint16_t>(sample(2 * k).y | sample(2 * k + 1).y << 8);
            } else {
                const auto s = sample(k);
                const std::uint8_t chroma = ((hd + k) & 1) ? s.cr : s.cb;
                out[w] = static_cast<std::uint16_t>(chroma | s.y << 8);
            }
        }
    }
}

int VirtualCard::baseDelay() const
{
    return options_.standard == 525 ? 126 : 176;
}

// Register 3 carries the high bits of four fields added together: VD's bits
// 8-9 in bits 6-7, VA's bits 8-9 in bits 4-5, HD's bits 8-10 in bits 2-4 and
// W2's bits 8-9 in bits 0-1. So bit 4 is VA's bit 8 plus HD's bit 10 (VA
// stays below 768, so the sum never carries into VD). Which of the two it
// holds shows in where the window would start on the video line: a delay
// of 1024 or more lands on the line only for a window that far right, and
// any other window would start past the line's end with it.
// VS is the 13-bit 512 - 512 x active / stored lines; the library only
// ever shrinks, so every value reads as a scale of at least 512, up to the
// 14-fold 7168 of the strongest shrink.
VirtualCard::GeometryRegisters VirtualCard::decodeGeometry() const
{
    GeometryRegisters g;
    const std::uint8_t b0 = registers_[3];
    const int highBits = (b0 >> 4) & 3;
    const int hdLow = ((b0 >> 2) & 3) << 8 | registers_[6];
    g.vd = ((b0 >> 6) & 3) << 8 | registers_[4];
    g.w2 = (b0 & 3) << 8 | registers_[7];
    g.hs = registers_[8] << 8 | registers_[9];
    const long xStep = g.hs + 4096;
    const int lineLength = options_.standard == 525 ? 780 : 950;
    const bool hdBit10 = highBits > 0 && (hdLow + 1024) * xStep / 4096 - baseDelay() < lineLength;
    g.hd = hdLow | (hdBit10 ? 1024 : 0);
    g.va = (highBits - (hdBit10 ? 1 : 0)) << 8 | registers_[5];
    const int vs = (registers_[19] & 31) << 8 | registers_[20];
    g.yScale512 = (512 - vs) & 8191;
    return g;
}

std::uint16_t VirtualCard::memoryWord(std::size_t line, std::size_t word) const
{
    const std::size_t at = line * lineStride_ + word;
    return at < memory_.size() ? memory_[at] : 0;
}

bool VirtualCard::transfer(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                           std::size_t outputSize, std::uint32_t *returned)
{
    TransferInput in{};
    const std::uint32_t port = options_.window + kWindowDataPort + (code == kReadLineBytes ? 1 : 0);
    if (!take(input, inputSize, in) || in.dataPort != port || !output) {
        note(code, -1, nullptr, 0, false);
        return false;
    }
    auto *out = static_cast<std::uint8_t *>(output);
    std::size_t written = 0;
    const auto line = static_cast<std::size_t>(linePointer_);
    if (code == kReadLineBytes) {
        // The byte port hands over the second byte of each word: the Y of a
        // Cb-Y or Cr-Y pair.
        for (; written < in.count && written < outputSize; ++written)
            out[written] = static_cast<std::uint8_t>(memoryWord(line, written) >> 8);
    } else {
        const std::size_t lines = code == kReadFrame ? in.lines : 1;
        // In the frame stream a monochrome capture's odd lines start one
        // word late, behind a lead word of zero.
        const bool lead = code == kReadFrame && (acquisitionMode_ & 32) != 0;
        for (std::size_t l = 0; l < lines; ++l)
            for (std::size_t w = 0; w < in.count && written + 2 <= outputSize; ++w) {
                const std::size_t from = code == kReadFrame ? l : line;
                const std::size_t shift = lead && (l & 1) ? 1 : 0;
                const std::uint16_t value = w < shift ? 0 : memoryWord(from, w - shift);
                out[written++] = static_cast<std::uint8_t>(value);
                out[written++] = static_cast<std::uint8_t>(value >> 8);
            }
    }
    *returned = static_cast<std::uint32_t>(written);
    // The request's own words, so a test sees what was asked for.
    note(code, -1, reinterpret_cast<const std::uint8_t *>(&in), sizeof in, true);
    return true;
}

std::uint8_t VirtualCard::readWindowByte(std::uint32_t offset)
{
    if (offset == kWindowTriggerByte)
        return static_cast<std::uint8_t>((window_[offset] & ~1u) | (options_.trigger ? 1u : 0u));
    return offset < window_.size() ? window_[offset] : 0;
}

void VirtualCard::writeWindowByte(std::uint32_t offset, std::uint8_t value)
{
    if (offset == kWindowTriggerByte)
        triggerWrites_.push_back(value);
    if (offset < window_.size())
        window_[offset] = value;
}

std::uint16_t VirtualCard::readWindowWord(std::uint32_t offset)
{
    // The data port shows the first word of the line under the line pointer.
    if (offset == kWindowDataPort)
        return memoryWord(static_cast<std::size_t>(linePointer_), 0);
    if (offset + 1 >= window_.size())
        return 0;
    return static_cast<std::uint16_t>(window_[offset] | window_[offset + 1] << 8);
}

} // namespace zul::vcard
