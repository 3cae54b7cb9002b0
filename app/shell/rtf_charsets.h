#pragma once

#include <QByteArray>
#include <QString>

// Windows' number for the symbol "code page": bytes that name glyphs of the
// Symbol font rather than characters.
constexpr int kSymbolCodePage = 42;

// The code page in which a font of RTF character set `charset` (\fcharsetN)
// writes its 8-bit text; 0 for the default set and for numbers that name no
// code page, where the document's \ansicpg holds.
int codePageOfCharset(int charset);

// What the Symbol font shows for each byte: Greek letters, mathematical
// signs, arrows and bracket pieces. Bytes the font leaves empty keep the
// private-use characters Windows gives them (U+F000 plus the byte).
QString decodeSymbol(const QByteArray &bytes);
