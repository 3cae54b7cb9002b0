#pragma once

#include "platform/file_result.h"

#include <QString>
#include <cstdint>

// Rewrites the capture settings file with the stock settings and the given
// 625-line window. When it cannot be written the earlier file stays as it
// was.
FileResult WriteCaptureIni(const QString &path, int16_t xOffsetPAL, int16_t xActivePAL, int16_t xPixelsPAL,
                           int16_t yOffsetPAL, int16_t yActivePAL, int16_t yPixelsPAL);
