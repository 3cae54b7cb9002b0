#pragma once

#include "video_source.h"

namespace zul::vcard {

// A picture that lives, so a preview on the virtual card visibly refreshes
// and successive captures differ: a grey disc of fringes on a dark ground
// that turns a little and drifts on each snap, its brightest and darkest
// fringes just clipped. Drawn into `frame` as the given snap, reusing its
// storage when the size stays.
void drawFringeScene(VideoFrame &frame, int width, int height, int snap);

} // namespace zul::vcard
