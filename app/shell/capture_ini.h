#pragma once

#include <QString>
#include <cstdint>

// Rewrites the capture settings file with the stock settings and the given
// 625-line window. Returns false, with a reason, when it cannot be written;
// the earlier file then stays as it was.
bool WriteCaptureIni(const QString &path, int16_t xOffsetPAL, int16_t xActivePAL, int16_t xPixelsPAL,
                     int16_t yOffsetPAL, int16_t yActivePAL, int16_t yPixelsPAL, QString *error = nullptr);
