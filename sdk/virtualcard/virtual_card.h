#pragma once

#include "driver_channel.h"
#include "video_source.h"
#include "virtual_card_options.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zul::vcard {

// One request as the driver saw it, kept only while recording is on so a
// long live view does not grow the card without bound.
struct Transfer {
    std::uint32_t code;
    int first;                       // first register, or -1
    std::vector<std::uint8_t> bytes; // written, or read back
    bool ok;
};

// An in-process stand-in for the K7Q02 card and its kernel driver: the
// digitizer's register file, the control and status register with the line
// pointer and acquisition, the card memory with its line stride, and the
// I/O window with the trigger byte and the data port. Lab machines without
// the card run the whole system on it, and the tests use it to see exactly
// what the library sent.
class VirtualCard {
public:
    static constexpr int kRegisters = 256;
    static constexpr int kControlRegister = 153;
    static constexpr std::size_t kMemoryLines = 1024;
    static constexpr std::size_t kMemoryWords = kMemoryLines * 1024;

    explicit VirtualCard(VirtualCardOptions options = {});

    VirtualCardOptions &options() { return options_; }

    // Driver side.
    bool openDevice();
    void closeDevice();
    bool request(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                 std::size_t outputSize, std::uint32_t *returned);
    std::uint8_t readWindowByte(std::uint32_t offset);
    void writeWindowByte(std::uint32_t offset, std::uint8_t value);
    std::uint16_t readWindowWord(std::uint32_t offset);
    void pause(unsigned milliseconds) { pausedMs_ += milliseconds; }

    // What the tests look at and set up.
    bool deviceOpen() const { return deviceOpen_; }
    int deviceOpens() const { return deviceOpens_; }
    int deviceCloses() const { return deviceCloses_; }
    int cardsOpen() const { return cardsOpen_; }
    const std::vector<std::uint32_t> &closeFlags() const { return closeFlags_; }
    unsigned pausedMilliseconds() const { return pausedMs_; }
    bool needsStartUp() const { return needsStartUp_; }

    std::uint8_t reg(int number) const { return registers_.at(static_cast<std::size_t>(number)); }
    void setReg(int number, std::uint8_t value) { registers_.at(static_cast<std::size_t>(number)) = value; }
    std::uint8_t control() const { return control_; }
    std::uint8_t peekStatus() const;
    int linePointer() const { return linePointer_; }
    bool acquiring() const { return acquiring_; }
    int acquisitions() const { return acquisitions_; }
    std::uint8_t acquisitionMode() const { return acquisitionMode_; }
    long controlWrites() const { return controlWrites_; }
    long statusReads() const { return statusReads_; }
    const std::vector<std::uint8_t> &triggerWrites() const { return triggerWrites_; }

    // Card memory: line j starts at word j × lineStride.
    std::vector<std::uint16_t> &memory() { return memory_; }
    std::size_t lineStride() const { return lineStride_; }
    void setLineStride(std::size_t words) { lineStride_ = words ? words : 1; }

    // The picture the card digitizes instead of the `source=` file or the
    // built-in chart.
    void setPicture(VideoFrame frame)
    {
        picture_ = std::move(frame);
        pictureKey_ = "\n(set)";
    }
    const VideoFrame &picture();

    // Runs as each acquisition ends, before the picture is digitized, with
    // the number of acquisitions so far: a test changes the scene here
    // between the frames of one averaged grab, or stops the card.
    void onDigitize(std::function<void(int acquisition)> hook) { digitizeHook_ = std::move(hook); }

    void record(bool on) { recording_ = on; }
    const std::vector<Transfer> &transfers() const { return transfers_; }
    void clearTransfers() { transfers_.clear(); }

    static constexpr const char *kIdentification = "ZUL K7Q02 frame grabber (virtual card), firmware 2.1";

private:
    bool openCard(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                  std::uint32_t *returned);
    bool closeCard(const void *input, std::size_t inputSize);
    bool identify(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                  std::uint32_t *returned);
    bool readRegisters(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                       std::uint32_t *returned);
    bool writeRegisters(const void *input, std::size_t inputSize, void *output, std::size_t outputSize,
                        std::uint32_t *returned);
    bool transfer(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                  std::size_t outputSize, std::uint32_t *returned);

    std::uint8_t readRegister(int number);
    void writeRegister(int number, std::uint8_t value);
    std::uint8_t readStatus();
    void writeControl(std::uint8_t value);
    void endAcquisition();
    struct GeometryRegisters {
        int vd = 0, va = 0, hd = 0, w2 = 0, hs = 0;
        int yScale512 = 0; // source lines per stored line, in 1/512
    };
    GeometryRegisters decodeGeometry() const;
    int baseDelay() const;
    void digitize();
    std::uint16_t memoryWord(std::size_t line, std::size_t word) const;
    void note(std::uint32_t code, int first, const std::uint8_t *bytes, std::size_t count, bool ok);
    static bool armed(int &countdown);

    VirtualCardOptions options_;
    std::array<std::uint8_t, kRegisters> registers_{};
    std::array<std::uint8_t, 4096> window_{};
    std::vector<std::uint16_t> memory_;
    std::size_t lineStride_ = 1024;

    bool deviceOpen_ = false;
    int deviceOpens_ = 0;
    int deviceCloses_ = 0;
    int cardsOpen_ = 0;
    std::vector<std::uint32_t> closeFlags_;
    unsigned pausedMs_ = 0;
    bool needsStartUp_ = false;

    std::uint8_t control_ = 0;
    int linePointer_ = 0;
    bool acquiring_ = false;
    bool acquisitionSeen_ = false;
    int acquisitionReadsLeft_ = 0;
    int acquisitions_ = 0;
    std::uint8_t acquisitionMode_ = 0;
    bool phase_ = false;
    long controlWrites_ = 0;
    long statusReads_ = 0;
    std::vector<std::uint8_t> triggerWrites_;

    VideoFrame picture_;
    std::function<void(int)> digitizeHook_;
    std::string pictureKey_ = "\n(none)";

    bool recording_ = false;
    std::vector<Transfer> transfers_;
};

// The card the library talks to when the virtual driver is chosen. It
// outlives connections, as a real card does, so a test can open and close
// the library repeatedly against one card and look at it afterwards.
// Installing a card also makes it the driver of the next `ZUL_init`.
std::shared_ptr<VirtualCard> installVirtualCard(VirtualCardOptions options = {});
std::shared_ptr<VirtualCard> installedVirtualCard();
void removeVirtualCard();

// A channel onto the installed card; one is made from ZUL_VIRTUAL_CARD when
// none is installed yet.
std::unique_ptr<DriverChannel> makeVirtualChannel();

} // namespace zul::vcard
