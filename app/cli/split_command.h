#pragma once

#include <QStringList>
#include <QTextStream>

// `isostepbmp split IN.six OUTDIR`: the six grey images of a reflection
// ".six", written as OUTDIR/image1.bmp .. image6.bmp, split by the same code
// as the alignment window's "Read .SIX". `arguments` are the words after
// "split". Returns 0 when all six were written, 1 when the file could not be
// split or the images not written (none are then), 2 for wrong arguments.
int runSplitCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
