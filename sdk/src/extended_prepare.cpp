#include "applied_config.h"
#include "connection.h"
#include "video_limits.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace zul {

AppliedConfig &appliedConfig()
{
    static AppliedConfig state;
    return state;
}

} // namespace zul

using namespace zul;

namespace {

constexpr int kTrueColour = 7;

ZulVideoWindow fullFrame(int standard)
{
    const ZulLimits l = limitsFor(standard);
    return ZulVideoWindow{0, l.xRange, l.xRange, 0, l.yRange, l.yRange, 1, 0};
}

int *enableFlag(ZulConfig &c, int format)
{
    switch (format) {
    case 1:
        return &c.Gray256Enable;
    case 2:
        return &c.Gray16Enable;
    case 3:
        return &c.Color256Enable;
    case 4:
        return &c.Color32kEnable;
    case 5:
        return &c.Color64kEnable;
    case 7:
        return &c.Color16MEnable;
    default:
        return &c.Color32bitEnable;
    }
}

// Each format in the order it is checked, with the formats that stand in
// for it when it is disabled, best first.
struct Fallback {
    int format;
    std::array<int, 6> instead; // 0 ends a shorter list
};
constexpr Fallback kFallbacks[] = {
    {2, {1, 7, 5, 4, 8, 3}}, {1, {2, 7, 5, 4, 8, 3}}, {3, {7, 5, 4, 8, 1, 2}}, {7, {8, 5, 4, 3, 1, 2}},
    {4, {7, 8, 3, 1, 2, 0}}, {5, {4, 7, 8, 3, 1, 2}}, {8, {7, 5, 4, 3, 1, 2}},
};

void chooseEnabledFormat(ZulConfig &c)
{
    int &format = c.OutputFormat;
    if (format < 1 || format > 8 || format == 6)
        format = kTrueColour;
    for (const Fallback &f : kFallbacks) {
        if (format != f.format || *enableFlag(c, format) != 0)
            continue;
        const auto enabled = std::find_if(f.instead.begin(), f.instead.end(),
                                          [&](int other) { return other != 0 && *enableFlag(c, other) != 0; });
        if (enabled != f.instead.end()) {
            format = *enabled;
        } else {
            format = kTrueColour;
            c.Color16MEnable = 1;
        }
    }
}

template <typename T> T clampTo(T value, int low, int high)
{
    return static_cast<T>(std::clamp<int>(value, low, high));
}

// Holds the window inside the signal's limits, a field capture to half the
// lines, and gives it at least the pixels the scaler can make of it.
void clampWindow(ZulVideoWindow &w, const ZulLimits &l)
{
    w.xPixels = clampTo(w.xPixels, 10, std::max<int>(l.xPixelsMax, 10));
    w.xOffset = std::min<std::uint16_t>(w.xOffset, static_cast<std::uint16_t>(l.xRange - 10));
    w.xActive = clampTo(w.xActive, 10, l.xRange - w.xOffset);
    if (w.xPixels * l.xScaleNum < w.xActive * l.xScaleDen)
        w.xPixels = static_cast<std::uint16_t>(w.xActive * l.xScaleDen / l.xScaleNum + 1);
    const int yRange = w.interlaced == 1 ? l.yRange : l.yRange / 2;
    w.yPixels = clampTo(w.yPixels, 10, std::max<int>(l.yPixelsMax, 10));
    w.yOffset = std::min<std::uint16_t>(w.yOffset, static_cast<std::uint16_t>(yRange - 10));
    w.yActive = clampTo(w.yActive, 10, yRange - w.yOffset);
    if (w.yPixels * l.yScaleNum < w.yActive * l.yScaleDen)
        w.yPixels = static_cast<std::uint16_t>(w.yActive * l.yScaleDen / l.yScaleNum + 1);
}

// Sends one picture control when the card may not hold it yet.
template <typename Value, typename Send> int sendControl(bool force, Value now, Value before, Send send)
{
    return force || now != before ? send(now) : ZUL_OK;
}

} // namespace

extern "C" ZUL_API int ZULX_defaultConfig(ZulConfig *config)
{
    if (!config)
        return ZUL_ERR_BAD_POINTER;
    ZulConfig c{};
    c.Gamma = 1.0f;
    c.OutputFormat = kTrueColour;
    c.Gray16Enable = c.Gray256Enable = c.Color256Enable = c.Color16MEnable = 1;
    c.Color32kEnable = c.Color64kEnable = c.Color32bitEnable = 1;
    c.palWindow = fullFrame(1);
    c.ntscWindow = fullFrame(0);
    *config = c;
    return ZUL_OK;
}

extern "C" ZUL_API int ZULX_prepare(ZulConfig *config, int force)
{
    if (!config)
        return ZUL_ERR_BAD_POINTER;
    AppliedConfig &applied = appliedConfig();
    const ZulConfig &last = applied.last;
    ZulConfig &c = *config;
    if (const int r = ZUL_testSignal(config))
        return r;
    // A card opened since the last prepare has never been configured; what
    // the copy says was sent went to another.
    const ZulCard *card = currentCard();
    const bool forced = force != 0 || applied.firstCall || !card || !card->configured;

    if (c.InputChannel > 1)
        c.InputChannel = 0;
    if (c.SignalType < 0 || c.SignalType > 2)
        c.SignalType = 0;
    c.InputChannel = std::clamp(c.InputChannel, 0, 1);
    if (forced || c.InputChannel != last.InputChannel || c.SignalType != last.SignalType ||
        c.videoStandard != last.videoStandard) {
        if (const int r = ZUL_videoConfig(c.InputChannel, c.SignalType, config))
            return r;
    }

    for (int *control : {&c.Brightness, &c.Contrast, &c.Saturation, &c.Hue})
        *control = std::clamp(*control, -128, 127);
    if (!(c.Gamma > 0.0f))
        c.Gamma = 1.0f;
    int r = sendControl(forced, c.Brightness, last.Brightness, ZUL_setBrightness);
    if (r == ZUL_OK)
        r = sendControl(forced, c.Contrast, last.Contrast, ZUL_setContrast);
    if (r == ZUL_OK)
        r = sendControl(forced, c.Saturation, last.Saturation, ZUL_setSaturation);
    if (r == ZUL_OK)
        r = sendControl(forced, c.Hue, last.Hue, ZUL_setHue);
    if (r == ZUL_OK)
        r = sendControl(forced, c.Gamma, last.Gamma, ZUL_setGamma);
    if (r != ZUL_OK)
        return r;

    chooseEnabledFormat(c);
    const int grey = c.OutputFormat == 1 || c.OutputFormat == 2 ? 1 : 0;
    c.palWindow.monochrome = grey;
    c.ntscWindow.monochrome = grey;
    c.ExtTrig = c.ExtTrig != 0 && c.ExtTrigEnable != 0 ? 1 : 0;
    c.Flash = c.Flash != 0 && c.FlashEnable != 0 ? 1 : 0;
    if (c.ExtTrig && c.Flash)
        c.Flash = 0;

    clampWindow(windowOf(c), limitsFor(c.videoStandard));

    applied.last = c;
    applied.firstCall = false;
    return ZUL_OK;
}
