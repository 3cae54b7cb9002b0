#include "snap.h"

#include "connection.h"
#include "function_trail.h"
#include "registers.h"
#include "video_limits.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

namespace zul {
namespace {

constexpr int kStatusReadings = 100;
constexpr std::uint16_t kNarrowMost = 510;
constexpr int kBase525 = 126;
constexpr int kBase625 = 176;
constexpr std::uint8_t kModeMonochrome = 32;
constexpr std::uint8_t kModeInterlaced = 8;
constexpr std::uint8_t kFlashPhase1 = 1;
constexpr std::uint8_t kFlashPhase2 = 3;

void clearSnapState(ZulCard &card)
{
    card.snapStarted = 0;
    card.snapFinished = 0;
    card.readoutStarted = 0;
}

void startAcquisition(std::uint8_t mode)
{
    writeControl(kResetLinePointer);
    writeControl(0);
    writeControl(static_cast<std::uint8_t>(mode + kStartAcquisition));
}

void builtInFlash(int phase)
{
    const ZulCard *card = currentCard();
    DriverChannel *device = connection().device.get();
    if (!card || !device || (phase != 1 && phase != 2) || !(card->flashMode & phase))
        return;
    device->writeWindowByte(kWindowTriggerByte, phase == 1 ? kFlashPhase1 : kFlashPhase2);
    waitUnits(1);
    device->writeWindowByte(kWindowTriggerByte, 0);
}

} // namespace

bool waitForStatus(std::uint8_t bit, bool set)
{
    for (int reading = 0; reading < kStatusReadings; ++reading) {
        if (((readStatus() & bit) != 0) == set)
            return true;
        waitUnits(1);
    }
    return false;
}

std::uint8_t acquisitionMode(const ZulCard &card)
{
    return static_cast<std::uint8_t>((card.monochrome == 1 ? kModeMonochrome : 0) +
                                     (card.interlaced == 1 ? kModeInterlaced : 0));
}

int frameWordsPerLine(const ZulCard &card)
{
    // A monochrome capture holds two pixels a word with a lead word on odd
    // lines, whatever format read it last: choosing by the format would lay
    // the first snap out as colour and read it back as grey.
    return card.monochrome == 1 ? (card.storedWidth + 1) / 2 + 1 : card.storedWidth;
}

void resetLinePointer()
{
    writeControl(kResetLinePointer);
    writeControl(0);
}

void concludeSnap(ZulCard &card)
{
    resetLinePointer();
    Connection &c = connection();
    c.frameOwner = nullptr;
    if (c.wholeFrame && c.device) {
        const int words = frameWordsPerLine(card);
        // With an odd line offset the stored image starts one card line
        // late; taking that line along keeps the frame and the line-by-line
        // paths on the same picture.
        const std::size_t lines = static_cast<std::size_t>(card.storedLines) + card.lineOffset;
        const std::size_t bytes = lines * static_cast<std::size_t>(words) * 2;
        if (bytes <= kFrameStoreBytes) {
            try {
                c.frameStore.resize(kFrameStoreBytes);
                const TransferInput input{static_cast<std::uint32_t>(words), card.dataPortAddress,
                                          static_cast<std::uint32_t>(lines)};
                std::uint32_t returned = 0;
                c.device->control(kReadFrame, &input, sizeof input, c.frameStore.data(), bytes, &returned);
                c.frameOwner = &card;
                c.frameWordsPerLine = static_cast<std::uint16_t>(words);
            } catch (const std::bad_alloc &) {
                // Without a store the lines are fetched one by one.
            }
        }
    }
    card.snapFinished = 1;
    card.snapStarted = 0;
    card.cachedLineA = -1;
    card.cachedLineB = -1;
}

} // namespace zul

using namespace zul;

extern "C" ZUL_API int ZUL_prepareSnap(ZulVideoWindow *window)
{
    entering("ZUL_prepareSnap");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!card->configured)
        return failed(ZUL_ERR_NOT_CONFIGURED);
    if (!window)
        return failed(ZUL_ERR_BAD_POINTER);
    const ZulVideoWindow w = *window;
    const ZulLimits limits = limitsFor(card->standard);
    // An empty window would divide by zero in the scales below.
    if (w.xActive == 0 || w.xPixels == 0 || w.xOffset + w.xActive > limits.xRange ||
        w.xPixels > limits.xPixelsMax || w.xPixels * limits.xScaleNum < w.xActive * limits.xScaleDen)
        return failed(ZUL_ERR_WIDTH);
    const bool interlaced = w.interlaced == 1;
    const int k = interlaced ? 1 : 2;
    if (w.yActive == 0 || w.yPixels == 0 || (w.yOffset + w.yActive) * k > limits.yRange ||
        w.yPixels > limits.yPixelsMax || w.yPixels * limits.yScaleNum < w.yActive * limits.yScaleDen)
        return failed(ZUL_ERR_HEIGHT);

    card->snapPrepared = 0;
    clearSnapState(*card);

    int width = std::min(w.xPixels, w.xActive);
    int lines = std::min(w.yPixels, w.yActive);
    if (card->narrow) {
        width = std::min<int>(width, kNarrowMost);
        lines = std::min<int>(lines, kNarrowMost);
    }
    const int hs = (w.xActive * 4096) / width - 4096;
    const int vs = (512 - (w.yActive * 512) / lines) & 8191;
    const int base = card->standard == 1 ? kBase625 : kBase525;
    const int hd = width * (base + w.xOffset) / w.xActive;
    int vd = w.yOffset + 2;
    int va = w.yActive;
    if (!interlaced) {
        vd *= 2;
        va *= 2;
    }
    card->lineOffset = 0;
    if (vd & 1) {
        vd -= 1;
        va += 1;
        card->lineOffset = 1;
    }
    card->oddDelay = hd & 1;
    card->outputWidth = w.xPixels;
    card->outputLines = w.yPixels;
    card->storedWidth = width;
    card->storedLines = lines;
    card->interlaced = w.interlaced;
    card->monochrome = w.monochrome;

    const int w2 = (width + 1) & ~1;
    const std::uint8_t geometry[7] = {
        static_cast<std::uint8_t>(((va >> 4) & 240) + ((hd >> 6) & 252) + ((vd >> 2) & 192) + (w2 >> 8)),
        static_cast<std::uint8_t>(vd & 255),
        static_cast<std::uint8_t>(va & 255),
        static_cast<std::uint8_t>(hd & 255),
        static_cast<std::uint8_t>(w2 & 255),
        static_cast<std::uint8_t>(hs >> 8),
        static_cast<std::uint8_t>(hs & 255)};
    if (writeRegisters(3, geometry, 7) != 7)
        return failed(ZUL_ERR_LOST_CONTACT);
    const std::uint8_t vertical[2] = {
        static_cast<std::uint8_t>((w.interlaced != 0 ? 32 : 0) | (w2 > 768 ? 128 : 64) | (vs >> 8)),
        static_cast<std::uint8_t>(vs & 255)};
    if (writeRegisters(19, vertical, 2) != 2)
        return failed(ZUL_ERR_LOST_CONTACT);
    std::uint8_t control = 0;
    if (readRegisters(11, &control, 1) != 1)
        return failed(ZUL_ERR_LOST_CONTACT);
    control = w.xPixels * 2 >= w.xActive ? (control | 32) : (control & ~32);
    if (!writeRegister(11, control))
        return failed(ZUL_ERR_LOST_CONTACT);

    card->snapPrepared = 1;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_startSnap(void)
{
    entering("ZUL_startSnap");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    clearSnapState(*card);
    if (!card->snapPrepared)
        return failed(ZUL_ERR_SNAP_NOT_PREPARED);
    const std::uint8_t mode = acquisitionMode(*card);
    startAcquisition(mode);
    writeControl(mode);
    card->snapStarted = 1;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_finishSnap(void)
{
    entering("ZUL_finishSnap");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    card->snapFinished = 0;
    card->readoutStarted = 0;
    if (!card->snapStarted)
        return failed(ZUL_ERR_SNAP_NOT_STARTED);
    if (!waitForStatus(kStatusRunning, false))
        return failed(ZUL_ERR_NO_SIGNAL);
    concludeSnap(*card);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_flashSnap(void)
{
    entering("ZUL_flashSnap");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    clearSnapState(*card);
    if (!card->snapPrepared)
        return failed(ZUL_ERR_SNAP_NOT_PREPARED);
    const ZulFlashRoutine routine = card->flashRoutine;
    const std::uint8_t mode = acquisitionMode(*card);
    if (routine && (card->flashMode & 1)) {
        if (!waitForStatus(kStatusPhase, false) || !waitForStatus(kStatusPhase, true))
            return failed(ZUL_ERR_NO_SIGNAL);
        waitUnits(card->flashDelay);
        routine(1);
    }
    startAcquisition(mode);
    if (!waitForStatus(kStatusStarted, true))
        return failed(ZUL_ERR_NO_SIGNAL);
    writeControl(mode);
    if (routine && (card->flashMode & 2)) {
        waitUnits(card->flashDelay);
        routine(2);
    }
    if (!waitForStatus(kStatusRunning, false))
        return failed(ZUL_ERR_NO_SIGNAL);
    concludeSnap(*card);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_extTrigSnap(int timeoutMs)
{
    entering("ZUL_extTrigSnap");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    clearSnapState(*card);
    if (!card->snapPrepared)
        return failed(ZUL_ERR_SNAP_NOT_PREPARED);
    const auto timeout = std::chrono::milliseconds(static_cast<std::uint16_t>(timeoutMs));
    const auto begun = std::chrono::steady_clock::now();
    DriverChannel *device = connection().device.get();
    // Running out of time is not an error: the snap then goes ahead on the
    // next field, untriggered.
    while (device && !(device->readWindowByte(kWindowTriggerByte) & 1) &&
           std::chrono::steady_clock::now() - begun < timeout)
        std::this_thread::yield();
    if (!waitForStatus(kStatusPhase, true))
        return failed(ZUL_ERR_NO_SIGNAL);
    const std::uint8_t mode = acquisitionMode(*card);
    startAcquisition(mode);
    writeControl(mode);
    if (!waitForStatus(kStatusRunning, false))
        return failed(ZUL_ERR_NO_SIGNAL);
    concludeSnap(*card);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_enableFlash(int mode, ZulFlashRoutine routine, int delay)
{
    entering("ZUL_enableFlash");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    const auto units = static_cast<std::uint16_t>(delay);
    if (mode < 1 || mode > 3 || units > (card->standard == 1 ? 20 : 16))
        return failed(ZUL_ERR_RANGE);
    card->flashMode = mode;
    card->flashRoutine = routine ? routine : builtInFlash;
    card->flashDelay = units;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_disableFlash(void)
{
    entering("ZUL_disableFlash");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    card->flashRoutine = nullptr;
    return ZUL_OK;
}
