#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads the Rich Text that WordPad and the RichEdit control write into a
// QTextDocument: paragraphs and their alignment, tabs and line breaks, bold,
// italic, underline, strike-out, super- and subscript, font size, the font and
// colour tables, 8-bit text in the code page of its font (\cpg, else its
// \fcharset, else the file's \ansicpg) and \u characters. Hidden text (\v)
// is not shown. Everything else (pictures, objects, style sheets, document information and
// every \* destination) is passed over.
//
// The document is cleared first. Returns false with a reason in *error, in
// lower case and without a final full stop so that it reads inside a
// sentence, when the data is not Rich Text or ends inside an open group; in
// the second case the document holds what was read before the end.
bool readRtf(const QByteArray &rtf, QTextDocument &document, QString *error = nullptr);
