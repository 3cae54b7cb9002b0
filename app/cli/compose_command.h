#pragma once

#include <QStringList>
#include <QTextStream>

// `isostepbmp compose`: one six-step data set composed without a window,
// for labs that compose many of them. `arguments` are the words after
// "compose". Returns the exit code: 0 when every file was written, 1 when
// the data could not be composed or written, 2 for wrong arguments. On any
// failure nothing is written and earlier files of the same names stay.
int runComposeCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
