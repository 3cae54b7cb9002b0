#include "connection.h"
#include "function_trail.h"
#include "registers.h"
#include "snap.h"
#include "video_limits.h"

#include <algorithm>

namespace zul {
namespace {

constexpr int kNarrowMost = 510;
constexpr int kMargin = 100;
constexpr int kCornerWindow = 200;

// Reads the first `pixels` grey samples of the card line under the line
// pointer into the line buffer.
const std::uint8_t *readGreyLine(const ZulCard &card, int pixels)
{
    std::uint8_t *line = connection().lineBuffer;
    DriverChannel *device = connection().device.get();
    const auto words = static_cast<std::uint32_t>((pixels + 1) / 2);
    const TransferInput input{words, card.dataPortAddress, 0};
    std::uint32_t returned = 0;
    if (!device || !device->control(kReadLine, &input, sizeof input, line, words * 2, &returned))
        std::fill(line, line + words * 2, std::uint8_t{0});
    return line;
}

void advanceLinePointer()
{
    writeControl(kAdvanceLinePointer);
    writeControl(0);
}

int snapWindow(ZulVideoWindow window)
{
    if (const int result = ZUL_prepareSnap(&window))
        return result;
    if (const int result = ZUL_startSnap())
        return result;
    return ZUL_finishSnap();
}

ZulVideoWindow greyWindow(int xOffset, int width, int yOffset, int lines)
{
    return ZulVideoWindow{static_cast<std::uint16_t>(xOffset), static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(width),   static_cast<std::uint16_t>(yOffset),
                          static_cast<std::uint16_t>(lines),   static_cast<std::uint16_t>(lines),
                          1,
                          1};
}

} // namespace
} // namespace zul

using namespace zul;

extern "C" ZUL_API int ZUL_autoCrop(ZulVideoWindow *window)
{
    entering("ZUL_autoCrop");
    Connection &c = connection();
    // Each call tries the next threshold, failed calls included, so a
    // caller that retries walks through all four.
    c.autoCropThreshold = static_cast<std::uint16_t>(c.autoCropThreshold * 2);
    if (c.autoCropThreshold > 200)
        c.autoCropThreshold = 25;
    const int threshold = c.autoCropThreshold;
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!card->configured)
        return failed(ZUL_ERR_NOT_CONFIGURED);
    if (!window)
        return failed(ZUL_ERR_BAD_POINTER);
    const ZulLimits limits = limitsFor(card->standard);
    const int xRange = limits.xRange;
    const int yRange = limits.yRange;
    const bool narrow = card->narrow != 0;
    const int fullWidth = narrow ? std::min(xRange, kNarrowMost) : xRange;
    const int fullLines = narrow ? std::min(yRange, kNarrowMost) : yRange;
    if (const int result = snapWindow(greyWindow(0, fullWidth, 0, fullLines)))
        return result;
    resetLinePointer();

    auto bright = [threshold](const std::uint8_t *from, const std::uint8_t *to) {
        return std::any_of(from, to, [threshold](std::uint8_t v) { return v >= threshold; });
    };

    int top = kMargin;
    int left = kMargin;
    int i = 0;
    for (; i < top + kMargin; ++i) {
        if (i < top) {
            const int pixels = xRange / 4;
            const std::uint8_t *line = readGreyLine(*card, pixels);
            if (bright(line, line + pixels))
                top = i;
        } else {
            const std::uint8_t *line = readGreyLine(*card, left);
            const auto *found = std::find_if(line, line + left, [threshold](std::uint8_t v) { return v >= threshold; });
            if (found != line + left)
                left = static_cast<int>(found - line);
        }
        advanceLinePointer();
    }

    int bottom = yRange - kMargin;
    int right = xRange - kMargin;
    int windowX = 0;
    int windowWidth = fullWidth;
    const int cornerLine = yRange - kCornerWindow;
    if (narrow) {
        windowX = xRange - kCornerWindow;
        windowWidth = kCornerWindow;
        if (const int result = snapWindow(greyWindow(windowX, kCornerWindow, cornerLine, kCornerWindow)))
            return result;
        resetLinePointer();
    } else {
        for (; i < cornerLine; ++i)
            advanceLinePointer();
    }
    i = cornerLine;
    const int lastQuarter = std::max(3 * xRange / 4, windowX);
    for (; i <= bottom + 1 && i < yRange; ++i) {
        const std::uint8_t *line = readGreyLine(*card, windowWidth);
        for (int column = xRange - 1; column > right; --column) {
            const int at = column - windowX;
            if (at >= 0 && at < windowWidth && line[at] >= threshold) {
                right = column;
                break;
            }
        }
        if (i > bottom && bright(line + (lastQuarter - windowX), line + windowWidth))
            bottom = i;
        advanceLinePointer();
    }

    window->xOffset = static_cast<std::uint16_t>(left + 1);
    window->xActive = static_cast<std::uint16_t>(right - left - 1);
    if (window->interlaced == 1) {
        window->yOffset = static_cast<std::uint16_t>(top);
        window->yActive = static_cast<std::uint16_t>(bottom - top + 1);
    } else {
        window->yOffset = static_cast<std::uint16_t>(top / 2);
        window->yActive = static_cast<std::uint16_t>((bottom - top + 1) / 2);
    }
    return ZUL_OK;
}
