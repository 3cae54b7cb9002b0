#pragma once

#include <QStringList>
#include <QTextStream>

// `isostepbmp mask`: the combined mask of a point file written as a bitmap,
// exactly as the mask editor saves it after reading that file, so a saved
// outline can be applied to many cells in batch work. `arguments` are the
// words after "mask". Returns 0 when the bitmap was written, 1 when the
// point file could not be used or the bitmap not written, 2 for wrong
// arguments. On failure an earlier file of the output name stays.
int runMaskCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
