#pragma once

#include "mask_areas.h"

#include <QByteArray>
#include <QString>

// The ".bgp" point file: the areas as text in the system code page, lines
// ending in CR LF:
//   "NB",N
//   n,#TRUE#      (or #FALSE#), once per area, followed by
//   x,y           n times
// Older files hold one area without the marker line: n, then n "x,y" lines;
// its background is inside.
namespace mask_point_file {

QByteArray encode(const MaskAreas &areas);

struct ReadResult {
    MaskAreas areas;   // only the stored areas are filled in
    QString error;     // the operator's text; empty when the file is good
    bool ok() const { return error.isEmpty(); }
};

// Parses a whole file. A file that does not fit the tables or has a line
// out of place is rejected as a whole, so the caller never sees half of it.
ReadResult decode(const QByteArray &contents, const QString &fileName);
ReadResult read(const QString &fileName);

// The point file written beside a mask bitmap: the bitmap's name without
// its last four characters, followed by ".bgp".
QString pointFileNameFor(const QString &maskFileName);

} // namespace mask_point_file
