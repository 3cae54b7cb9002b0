/* A plain C client with a picture of its own: it writes a small BMP, has the
 * virtual card digitize it, snaps an unscaled window with an odd first pixel
 * and an odd first line, and checks every byte of all eleven readout formats
 * against the conversion formulas applied to the picture. */
#define _POSIX_C_SOURCE 200809L
#include "ZUL_Tools_VB.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#define PW 16
#define PH 8
#define X0 3
#define WIDTH 10
#define Y0 1
#define LINES 5

static unsigned char picture[PH][PW][3];
static int failures;

static const int dither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

static int writeBmp(const char *path)
{
    unsigned char header[54];
    const int rowBytes = (PW * 3 + 3) & ~3;
    const int size = 54 + rowBytes * PH;
    unsigned char row[(PW * 3 + 3) & ~3];
    FILE *f = fopen(path, "wb");
    int y, x;
    if (!f)
        return 0;
    memset(header, 0, sizeof header);
    header[0] = 'B';
    header[1] = 'M';
    header[2] = (unsigned char)size;
    header[3] = (unsigned char)(size >> 8);
    header[10] = 54;
    header[14] = 40;
    header[18] = PW;
    header[22] = PH;
    header[26] = 1;
    header[28] = 24;
    fwrite(header, 1, sizeof header, f);
    for (y = PH - 1; y >= 0; --y) {
        memset(row, 0, sizeof row);
        for (x = 0; x < PW; ++x) {
            row[3 * x] = picture[y][x][2];
            row[3 * x + 1] = picture[y][x][1];
            row[3 * x + 2] = picture[y][x][0];
        }
        fwrite(row, 1, (size_t)rowBytes, f);
    }
    return fclose(f) == 0;
}

/* BT.601 studio range of a picture pixel; component 0 = Y, 1 = Cb, 2 = Cr. */
static int studio(int x, int y, int component)
{
    const double r = picture[y][x][0], g = picture[y][x][1], b = picture[y][x][2];
    if (component == 0)
        return (int)lround(16.0 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0);
    if (component == 1)
        return (int)lround(128.0 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0);
    return (int)lround(128.0 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0);
}

/* Output pixel p of line r; a pixel's pair starts on an even video position. */
static int luma(int p, int r) { return studio(X0 + p, Y0 + r, 0); }
static int cb(int p, int r)
{
    int from = ((X0 + p) & 1) == 0 ? p : (p >= 1 ? p - 1 : p + 1);
    return studio(X0 + from, Y0 + r, 1);
}
static int cr(int p, int r)
{
    int from = ((X0 + p) & 1) != 0 ? p : (p + 1 < WIDTH ? p + 1 : p - 1);
    return studio(X0 + from, Y0 + r, 2);
}

static int ty(int y) { return (int)(1.164f * (float)y - 18.624f) + 280; }
static int cg(int i) { return i < 280 ? 0 : i >= 536 ? 255 : i - 280; }
static int redIndex(int y, int u, int v) { (void)u; return ty(y) + (int)((v - 128) * 1.596); }
static int greenIndex(int y, int u, int v) { return ty(y) + (int)((128 - u) * 0.391) + (int)((128 - v) * 0.813); }
static int blueIndex(int y, int u, int v) { (void)v; return ty(y) + (int)((u - 128) * 2.018); }

static int expectedLine(int format, int r, unsigned char *out)
{
    int n = 0, p;
    for (p = 0; p < WIDTH; ++p) {
        const int y = luma(p, r), u = cb(p, r), v = cr(p, r), m = dither[r & 3][p & 3];
        const int red = cg(redIndex(y, u, v)), green = cg(greenIndex(y, u, v)), blue = cg(blueIndex(y, u, v));
        int b16;
        switch (format) {
        case 1:
            out[n++] = (unsigned char)(y <= 15 ? 0 : y >= 240 ? 255 : (int)((y - 16) * 1.1434977578475336 + 0.5));
            break;
        case 2: {
            const int level = y + m > 255 ? 255 : y + m;
            if (p & 1)
                out[n - 1] = (unsigned char)(out[n - 1] | level >> 4);
            else
                out[n++] = (unsigned char)(level & 240);
            break;
        }
        case 3: {
            int b3 = blueIndex(y, u, v) + 4 * m;
            b3 = cg(b3 > 815 ? 815 : b3);
            out[n++] = (unsigned char)((cg(redIndex(y, u, v) + 2 * m) >> 5) << 5 |
                                       (cg(greenIndex(y, u, v) + 2 * m) >> 5) << 2 | b3 >> 6);
            break;
        }
        case 4:
        case 5:
            b16 = format == 4 ? (red >> 3) << 10 | (green >> 3) << 5 | blue >> 3
                              : (red >> 3) << 11 | (green >> 2) << 5 | blue >> 3;
            out[n++] = (unsigned char)b16;
            out[n++] = (unsigned char)(b16 >> 8);
            break;
        case 6:
            out[n++] = (unsigned char)red;
            out[n++] = (unsigned char)green;
            out[n++] = (unsigned char)blue;
            break;
        case 7:
        case 8:
            out[n++] = (unsigned char)blue;
            out[n++] = (unsigned char)green;
            out[n++] = (unsigned char)red;
            if (format == 8)
                out[n++] = 0;
            break;
        case 9:
        case 11:
            out[n++] = (unsigned char)y;
            out[n++] = (unsigned char)(format == 9 ? v : u);
            out[n++] = (unsigned char)(format == 9 ? u : v);
            break;
        case 10: /* WIDTH words from the pair that holds pixel 0, begun a pixel before the window:
                    the Cb of the pair after it and a black pixel, then the card's words */
            if (p == 0) {
                out[n++] = (unsigned char)u;
                out[n++] = 16;
            }
            if (p < WIDTH - 1) {
                out[n++] = (unsigned char)(((X0 + p) & 1) == 0 ? u : v);
                out[n++] = (unsigned char)y;
            }
            break;
        }
    }
    return n;
}

int main(void)
{
    char path[] = "/tmp/zul_c_snap_XXXXXX";
    char options[256];
    ZulConfig config;
    ZulVideoWindow window = {X0, WIDTH, WIDTH, Y0, LINES, LINES, 1, 0};
    unsigned char line[64], expected[64];
    int x, y, c, format, r;
    int16_t lineBytes = 0;
    unsigned seed = 7;
    int fd;

    for (y = 0; y < PH; ++y)
        for (x = 0; x < PW; ++x)
            for (c = 0; c < 3; ++c) {
                seed = seed * 1103515245u + 12345u;
                /* every third line in full primaries and black or white */
                picture[y][x][c] = (unsigned char)(y % 3 == 0 ? (((x + c) * 5) % 3 == 0 ? 255 : 0) : (seed >> 16));
            }
    fd = mkstemp(path);
    if (fd >= 0)
        close(fd);
    if (fd < 0 || !writeBmp(path)) {
        fprintf(stderr, "cannot write the picture\n");
        return 1;
    }
    snprintf(options, sizeof options, "standard=625;source=%s", path);
    setenv("ZUL_DRIVER", "virtual", 1);
    setenv("ZUL_VIRTUAL_CARD", options, 1);

    if (ZUL_init() != ZUL_OK) {
        fprintf(stderr, "ZUL_init failed\n");
        remove(path);
        return 1;
    }
    memset(&config, 0, sizeof config);
    if (ZUL_videoConfig(0, 0, &config) != ZUL_OK || ZUL_prepareSnap(&window) != ZUL_OK ||
        ZUL_startSnap() != ZUL_OK || ZUL_finishSnap() != ZUL_OK) {
        fprintf(stderr, "snap failed in %s\n", ZUL_lastErrorFunctionName());
        ++failures;
    }
    for (format = 1; format <= 11 && !failures; ++format) {
        if (ZUL_startReadout(format, &lineBytes) != ZUL_OK) {
            fprintf(stderr, "format %d: readout refused\n", format);
            ++failures;
            continue;
        }
        for (r = 0; r < LINES; ++r) {
            const int n = expectedLine(format, r, expected);
            memset(line, 0, sizeof line);
            if (n != lineBytes || ZUL_readLine(line, 0, WIDTH) != ZUL_OK || memcmp(line, expected, (size_t)n) != 0) {
                fprintf(stderr, "format %d line %d differs (%d bytes, line length %d)\n", format, r, n, lineBytes);
                ++failures;
            }
        }
    }
    ZUL_closedown(1);
    remove(path);
    if (failures)
        fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
