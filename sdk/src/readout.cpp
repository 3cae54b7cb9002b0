#include "connection.h"
#include "fast_convert.h"
#include "function_trail.h"
#include "raw_pairs.h"
#include "registers.h"
#include "snap.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zul {
namespace {

constexpr std::uint8_t kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

bool isGrey(int format)
{
    return format == 1 || format == 2;
}

// Horizontal stretch of n grey samples to m, in place from the far end so
// no sample is overwritten before it is used.
void stretchGrey(std::uint8_t *line, int n, int m)
{
    if (n < 2) {
        std::fill(line, line + m, line[0]);
        return;
    }
    const std::int64_t step = (static_cast<std::int64_t>(n) * 65536 - 65537) / (m - 1);
    for (int p = m - 1; p >= 0; --p) {
        const std::int64_t a = p * step;
        const auto i = static_cast<int>(a >> 16);
        const auto f = static_cast<int>(a & 65535);
        line[p] = static_cast<std::uint8_t>((f * line[i + 1] + (65536 - f) * line[i]) >> 16);
    }
}

// Horizontal stretch of n Cb-Y-Cr-Y pixels to m (rounded up to even).
void stretchCbYCrY(std::uint8_t *line, int n, int m)
{
    if (n & 1) {
        line[2 * n] = line[2 * n - 4 < 0 ? 0 : 2 * n - 4];
        line[2 * n + 1] = line[2 * n - 1];
        ++n;
    }
    const int m2 = (m + 1) & ~1;
    const std::int64_t lumaStep = (static_cast<std::int64_t>(n) * 65536 - 65537) / (m2 - 1);
    for (int p = m2 - 1; p >= 0; --p) {
        const std::int64_t a = p * lumaStep;
        const auto i = static_cast<int>(a >> 16);
        const auto f = static_cast<int>(a & 65535);
        line[2 * p + 1] = static_cast<std::uint8_t>((f * line[2 * i + 3] + (65536 - f) * line[2 * i + 1]) >> 16);
    }
    const int pairs = m2 / 2;
    const int sourcePairs = n / 2;
    // One stored pair has nothing to interpolate with: its chroma holds.
    if (sourcePairs < 2) {
        for (int r = pairs - 1; r > 0; --r) {
            line[4 * r] = line[0];
            line[4 * r + 2] = line[2];
        }
        return;
    }
    const std::int64_t step = (static_cast<std::int64_t>(sourcePairs) * 65536 - 65537) / (pairs - 1 > 0 ? pairs - 1 : 1);
    for (int r = pairs - 1; r >= 0; --r) {
        const std::int64_t a = r * step;
        const auto i = static_cast<int>(a >> 16);
        const auto f = static_cast<int>(a & 65535);
        for (int c = 0; c < 4; c += 2)
            line[4 * r + c] =
                static_cast<std::uint8_t>((f * line[4 * i + 4 + c] + (65536 - f) * line[4 * i + c]) >> 16);
    }
}

// Moves the card's line pointer to `target`; it only goes forward, so
// going back starts again from line 0.
void moveLinePointer(ZulCard &card, int target)
{
    if (target < card.hardwareLine) {
        resetLinePointer();
        card.hardwareLine = 0;
    }
    while (card.hardwareLine < target) {
        writeControl(kAdvanceLinePointer);
        writeControl(0);
        ++card.hardwareLine;
    }
}

void transferLine(ZulCard &card, std::uint32_t code, std::uint32_t count, std::uint8_t *out, std::size_t bytes)
{
    DriverChannel *device = connection().device.get();
    if (!device)
        return;
    const std::uint32_t port = card.dataPortAddress + (code == kReadLineBytes ? 1 : 0);
    const TransferInput input{count, port, 0};
    std::uint32_t returned = 0;
    device->control(code, &input, sizeof input, out, bytes, &returned);
}

// Card line j of the capture (before any horizontal stretch), as grey
// samples or as Cb-Y-Cr-Y words.
void fetchCardLine(ZulCard &card, int j, bool grey, std::uint8_t *out)
{
    Connection &c = connection();
    const int width = card.storedWidth;
    const int cardLine = j + card.lineOffset;
    const bool mono = card.monochrome == 1;
    if (c.frameOwner == &card) {
        const std::size_t words = c.frameWordsPerLine;
        std::size_t at = static_cast<std::size_t>(cardLine) * words * 2;
        if (mono) {
            at += (cardLine & 1) ? 2 : 0;
            const std::size_t bytes = std::min(words * 2, kFrameStoreBytes - std::min(at, kFrameStoreBytes));
            std::memcpy(out, c.frameStore.data() + at, bytes);
        } else if (grey) {
            // A colour capture read as grey: the Y byte of each word, as the
            // card's byte port gives it line by line.
            for (int k = 0; k < width && at + 2 * k + 1 < kFrameStoreBytes; ++k)
                out[k] = c.frameStore[at + 2 * k + 1];
        } else {
            const std::size_t bytes = std::min(words * 2, kFrameStoreBytes - std::min(at, kFrameStoreBytes));
            std::memcpy(out, c.frameStore.data() + at, bytes);
        }
    } else {
        moveLinePointer(card, cardLine);
        if (mono)
            transferLine(card, kReadLine, static_cast<std::uint32_t>((width + 1) / 2), out,
                         static_cast<std::size_t>((width + 1) / 2) * 2);
        else if (grey)
            transferLine(card, kReadLineBytes, static_cast<std::uint32_t>(width), out,
                         static_cast<std::size_t>(width));
        else
            transferLine(card, kReadLine, static_cast<std::uint32_t>(width), out, static_cast<std::size_t>(width) * 2);
    }
    if (width < card.outputWidth) {
        if (grey)
            stretchGrey(out, width, card.outputWidth);
        else
            stretchCbYCrY(out, width, card.outputWidth);
    }
}

// Output line n: in the line buffer, or, for an unstretched colour line
// of the frame store, where it lies in the store. Null when it cannot be
// made.
const std::uint8_t *fetchOutputLine(ZulCard &card, int n, bool grey, std::uint8_t *line)
{
    const int stored = card.storedLines;
    const int lines = card.outputLines;
    Connection &c = connection();
    if (stored >= lines && !grey && card.monochrome != 1 && c.frameOwner == &card &&
        card.storedWidth >= card.outputWidth)
        return c.frameStore.data() +
               static_cast<std::size_t>(n + card.lineOffset) * c.frameWordsPerLine * 2;
    if (stored >= lines) {
        fetchCardLine(card, n, grey, line);
        return line;
    }
    // One stored line cannot be stretched over several: the blend would
    // convert whatever the buffers held before.
    if (stored < 2)
        return nullptr;
    const std::int64_t step = (static_cast<std::int64_t>(stored) * 65536 - 65537) / (lines - 1);
    const std::int64_t pos = step * n;
    const auto i = static_cast<int>(pos >> 16);
    const auto f = static_cast<int>(pos & 65535);
    if (card.cachedLineA == i + 1 || card.cachedLineB == i) {
        std::swap(card.cachedLineA, card.cachedLineB);
        std::swap(card.interpolationA, card.interpolationB);
    }
    if (card.cachedLineA != i) {
        fetchCardLine(card, i, grey, card.interpolationA);
        card.cachedLineA = i;
    }
    if (card.cachedLineB != i + 1) {
        fetchCardLine(card, i + 1, grey, card.interpolationB);
        card.cachedLineB = i + 1;
    }
    const std::uint8_t *a = card.interpolationA;
    const std::uint8_t *b = card.interpolationB;
    const int bytes = grey ? card.outputWidth : 2 * card.outputWidth + 2;
    for (int k = 0; k < bytes; ++k)
        line[k] = static_cast<std::uint8_t>((b[k] * f + a[k] * (65536 - f)) >> 16);
    return line;
}

struct Rgb {
    std::uint8_t r, g, b;
};

// One pixel's colour indices into the clamp tables.
struct Indices {
    int r, g, b;
};

inline Indices indices(const LookupTables &t, int y, int cb, int cr)
{
    const int ty = t.TY[y];
    return {ty + t.TRv[cr], ty + t.TGu[cb] + t.TGv[cr], ty + t.TBu[cb]};
}

// Writes one pixel of a colour format.
inline void putPixel(const LookupTables &t, int format, std::uint8_t *&out, int y, int cb, int cr, int dither)
{
    switch (format) {
    case 3: {
        const Indices i = indices(t, y, cb, cr);
        const int blue = std::min(i.b + 4 * dither, LookupTables::kClampSize - 1);
        *out++ = static_cast<std::uint8_t>(t.R332[i.r + 2 * dither] + t.G332[i.g + 2 * dither] + t.B332[blue]);
        break;
    }
    case 4:
    case 5: {
        const Indices i = indices(t, y, cb, cr);
        const auto v = static_cast<std::uint16_t>(format == 4 ? t.R555[i.r] + t.G555[i.g] + t.B555[i.b]
                                                              : t.R565[i.r] + t.G565[i.g] + t.B565[i.b]);
        *out++ = static_cast<std::uint8_t>(v);
        *out++ = static_cast<std::uint8_t>(v >> 8);
        break;
    }
    case 6:
    case 7:
    case 8: {
        const Indices i = indices(t, y, cb, cr);
        const std::uint8_t r = t.CG[i.r], g = t.CG[i.g], b = t.CG[i.b];
        if (format == 6) {
            out[0] = r;
            out[1] = g;
            out[2] = b;
            out += 3;
        } else {
            out[0] = b;
            out[1] = g;
            out[2] = r;
            out += 3;
            if (format == 8)
                *out++ = 0;
        }
        break;
    }
    case 9:
        out[0] = static_cast<std::uint8_t>(y);
        out[1] = static_cast<std::uint8_t>(cr);
        out[2] = static_cast<std::uint8_t>(cb);
        out += 3;
        break;
    default: // 11
        out[0] = static_cast<std::uint8_t>(y);
        out[1] = static_cast<std::uint8_t>(cb);
        out[2] = static_cast<std::uint8_t>(cr);
        out += 3;
        break;
    }
}

// Fast path for B, G, R: one chroma look-up per pair.
void convertBgrPairs(const LookupTables &t, const std::uint8_t *in, int pairs, std::uint8_t *out)
{
    if (t.vectorBgr) {
        const int done = convertBgrPairsVector(in, pairs, out);
        in += 4 * done;
        out += 6 * done;
        pairs -= done;
    }
    const std::uint8_t *cg = t.CG.data();
    for (int q = 0; q < pairs; ++q, in += 4, out += 6) {
        const int cb = in[0], cr = in[2];
        const int dr = t.TRv[cr], dg = t.TGu[cb] + t.TGv[cr], db = t.TBu[cb];
        const int y0 = t.TY[in[1]], y1 = t.TY[in[3]];
        out[0] = cg[y0 + db];
        out[1] = cg[y0 + dg];
        out[2] = cg[y0 + dr];
        out[3] = cg[y1 + db];
        out[4] = cg[y1 + dg];
        out[5] = cg[y1 + dr];
    }
}

// Converts pixels [x, x + n) of a Cb-Y-Cr-Y line `words` pixels long. A
// pixel's chroma is that of its own pair on the card, which starts on an
// even video position (pixel + odd delay): whatever first pixel and count
// the caller asks for, a pixel reads the same. Only at the line's ends does
// a pixel borrow: the half pair in front takes the Cb of the pair after it,
// a last pixel without its Cr takes the Cr of the pair before.
void convertColour(const LookupTables &t, int format, const std::uint8_t *line, int words, int oddDelay, int x,
                   int n, int row, std::uint8_t *out)
{
    const int end = x + n;
    int p = x;
    auto pixel = [&](int at, int cb, int cr) {
        putPixel(t, format, out, line[2 * at + 1], cb, cr, kDither[row][(at - x) & 3]);
    };
    if (p < end && ((p + oddDelay) & 1)) {
        const int cb = p >= 1 ? line[2 * p - 2] : (words > 1 ? line[2] : 128);
        pixel(p, cb, line[2 * p]);
        ++p;
    }
    if (format == 7) {
        const int pairs = (end - p) / 2;
        convertBgrPairs(t, line + 2 * p, pairs, out);
        out += 6 * pairs;
        p += 2 * pairs;
    } else if (format == 3 && t.vectorBgr) {
        std::uint8_t dither16[16];
        for (int j = 0; j < 16; ++j)
            dither16[j] = kDither[row][(p + j - x) & 3];
        const int done = convert332PairsVector(line + 2 * p, (end - p) / 2, dither16, out);
        out += 2 * done;
        p += 2 * done;
    }
    for (; p + 1 < end; p += 2) {
        const int cb = line[2 * p], cr = line[2 * p + 2];
        pixel(p, cb, cr);
        pixel(p + 1, cb, cr);
    }
    if (p < end) {
        const int cr = p + 1 < words ? line[2 * p + 2] : (p >= 1 ? line[2 * p - 2] : 128);
        pixel(p, line[2 * p], cr);
    }
}

// Pixels in a fetched colour line: as stored, or as stretched.
int lineWords(const ZulCard &card)
{
    return card.storedWidth < card.outputWidth ? (card.outputWidth + 1) & ~1 : card.storedWidth;
}

// Raw Cb-Y-Cr-Y words from pixel `from` on. The pair in front of an
// odd-delay line (from -1) began before the card started storing: its Cb
// is made up as the colour formats make it, from the pair after it, and
// its first pixel, outside the window, is black. Past the stored line,
// black too, rather than bytes of whatever line the buffer held before.
void copyRawWords(const std::uint8_t *line, int lineWords, int from, int words, std::uint8_t *out)
{
    int k = 0;
    if (from < 0 && words > 0) {
        out[0] = lineWords > 1 ? line[2] : 128;
        out[1] = 16;
        k = 1;
    }
    const int stored = std::clamp(lineWords - (from + k), 0, words - k);
    if (stored > 0)
        std::memcpy(out + 2 * k, line + 2 * (from + k), static_cast<std::size_t>(stored) * 2);
    for (k += stored; k < words; ++k) {
        out[2 * k] = 128;
        out[2 * k + 1] = 16;
    }
}

std::uint16_t lineBytesFor(int format, int width)
{
    static constexpr int kPerPixelTimesTwo[12] = {0, 2, 1, 2, 4, 4, 6, 6, 8, 6, 0, 6};
    if (format == 10)
        return static_cast<std::uint16_t>(((width + 1) & ~1) * 2);
    return static_cast<std::uint16_t>((kPerPixelTimesTwo[format] * width + 1) / 2);
}

// ZUL_readLine, with format 10 giving either the count rounded up to even
// words, as callers size their buffers for, or every pair the pixels touch.
int readLine(std::uint8_t *buffer, int firstPixel, int count, bool wholePairs)
{
    entering("ZUL_readLine");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!card->readoutStarted)
        return failed(ZUL_ERR_READOUT_NOT_STARTED);
    const int x = static_cast<std::uint16_t>(firstPixel);
    const int n = static_cast<std::uint16_t>(count);
    if (x + n > card->outputWidth || card->linesRead >= card->outputLines)
        return failed(ZUL_ERR_OUTSIDE_IMAGE);
    if (!buffer)
        return failed(ZUL_ERR_BAD_POINTER);
    Connection &c = connection();
    const int format = card->readoutFormat;
    const bool grey = isGrey(format);
    const std::uint8_t *line = fetchOutputLine(*card, card->linesRead, grey, c.lineBuffer);
    if (!line)
        return failed(ZUL_ERR_HEIGHT);
    const LookupTables &t = c.tables;
    const int row = card->linesRead & 3;
    if (format == 1) {
        for (int k = 0; k < n; ++k)
            buffer[k] = t.G8[line[x + k]];
    } else if (format == 2) {
        auto level = [&](int k) {
            const int v = line[x + k] + kDither[row][k & 3];
            return v > 255 ? 255 : t.GT[v];
        };
        int k = 0;
        for (; k + 1 < n; k += 2)
            buffer[k / 2] = static_cast<std::uint8_t>((level(k) & 240) | (level(k + 1) >> 4));
        if (k < n)
            buffer[k / 2] = static_cast<std::uint8_t>((level(k) & 240) | (buffer[k / 2] & 15));
    } else if (format == 10) {
        const RawSpan span = rawSpan(*card, x, n);
        const int words = wholePairs ? span.words : (n + 1) & ~1;
        copyRawWords(line, lineWords(*card), x - span.lead, words, buffer);
    } else {
        convertColour(t, format, line, lineWords(*card), card->oddDelay, x, n, row, buffer);
    }
    ++card->linesRead;
    return ZUL_OK;
}

} // namespace

RawSpan rawSpan(const ZulCard &card, int firstPixel, int count)
{
    RawSpan span{};
    span.lead = (firstPixel + card.oddDelay) & 1;
    span.words = (span.lead + count + 1) & ~1;
    const bool secondStored = firstPixel + count < lineWords(card);
    span.pixels = span.lead + count + (((span.lead + count) & 1) != 0 && secondStored ? 1 : 0);
    return span;
}

int readLineWholePairs(std::uint8_t *buffer, int firstPixel, int count)
{
    return readLine(buffer, firstPixel, count, true);
}

} // namespace zul

using namespace zul;

extern "C" ZUL_API int ZUL_startReadout(int format, int16_t *lineBytes)
{
    entering("ZUL_startReadout");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    card->readoutStarted = 0;
    if (!card->snapFinished)
        return failed(ZUL_ERR_SNAP_NOT_FINISHED);
    if (format < 1 || format > 11)
        return failed(ZUL_ERR_RANGE);
    if (format >= 3 && card->monochrome == 1)
        return failed(ZUL_ERR_MONOCHROME);
    card->readoutFormat = format;
    card->linesRead = 0;
    resetLinePointer();
    card->hardwareLine = 0;
    // Cached lines of a grey readout are Y samples, of a colour one pairs:
    // neither may stand in for the other.
    card->cachedLineA = -1;
    card->cachedLineB = -1;
    if (lineBytes)
        *lineBytes = static_cast<std::int16_t>(lineBytesFor(format, card->outputWidth));
    card->readoutStarted = 1;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_readLine(uint8_t *buffer, int firstPixel, int count)
{
    return readLine(buffer, firstPixel, count, false);
}

extern "C" ZUL_API int ZUL_skipLines(int n)
{
    entering("ZUL_skipLines");
    ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!card->readoutStarted)
        return failed(ZUL_ERR_READOUT_NOT_STARTED);
    card->linesRead = static_cast<std::uint16_t>(card->linesRead + n);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_convertCbYCrYToBGR24(uint8_t *target, const uint8_t *source, int pixels)
{
    // No name of its own: a failure is charged to whatever ran last.
    if (!currentCard())
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!source || !target)
        return failed(ZUL_ERR_BAD_POINTER);
    const int n = static_cast<std::uint16_t>(pixels);
    const LookupTables &t = connection().tables;
    convertBgrPairs(t, source, n / 2, target);
    if (n & 1) {
        const std::uint8_t *in = source + 2 * (n - 1);
        // A lone pixel has no pair before it to lend a Cr: neutral chroma.
        const int cr = n > 1 ? in[-2] : 128;
        std::uint8_t *out = target + 3 * (n - 1);
        putPixel(t, 7, out, in[1], in[0], cr, 0);
    }
    return ZUL_OK;
}
