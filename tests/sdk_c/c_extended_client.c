/* A plain C client of the extended layer, through the shared library and
 * its public header alone, on the virtual card: it snaps the card's picture
 * and checks every ZULX_ call it has, above all that the BMP file written
 * by ZULX_readoutDIBToFile is, byte for byte, the bitmap of ZULX_readoutDIB
 * with a file header in front and the file's resolution. */
#define _POSIX_C_SOURCE 200809L
#include "ZUL_Tools_VB.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int failures;
static char lastMessage[256];
static int messageCount;

#define CHECK(cond)                                                                                                \
    do {                                                                                                           \
        if (!(cond)) {                                                                                             \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond);                                             \
            ++failures;                                                                                            \
        }                                                                                                          \
    } while (0)

static void collect(const char *text, const char *title, void *context)
{
    snprintf(lastMessage, sizeof lastMessage, "%s: %s", title, text);
    ++*(int *)context;
}

static unsigned long le32(const unsigned char *at)
{
    return (unsigned long)at[0] | (unsigned long)at[1] << 8 | (unsigned long)at[2] << 16 | (unsigned long)at[3] << 24;
}

static void put32(unsigned char *at, unsigned long v)
{
    at[0] = (unsigned char)v;
    at[1] = (unsigned char)(v >> 8);
    at[2] = (unsigned char)(v >> 16);
    at[3] = (unsigned char)(v >> 24);
}

/* The whole of a file, or NULL; the caller frees it. */
static unsigned char *readFile(const char *path, size_t *size)
{
    FILE *f = fopen(path, "rb");
    unsigned char *bytes;
    long length;
    if (!f)
        return NULL;
    fseek(f, 0, SEEK_END);
    length = ftell(f);
    fseek(f, 0, SEEK_SET);
    bytes = malloc(length > 0 ? (size_t)length : 1);
    *size = bytes ? fread(bytes, 1, (size_t)length, f) : 0;
    fclose(f);
    return bytes;
}

/* A bitmap's bytes, copied out of its block. */
static unsigned char *bytesOf(ZulHandle bitmap, size_t *size)
{
    unsigned char *copy;
    *size = ZUL_globalSize(bitmap);
    copy = malloc(*size);
    memcpy(copy, ZUL_globalLock(bitmap), *size);
    ZUL_globalUnlock(bitmap);
    return copy;
}

/* The BMP file a bitmap in memory makes when the library writes it from a
 * readout: a file header, then the bitmap with 11810 pixels per metre, and
 * no important colours for the masks of format 5. */
static unsigned char *assembleFile(const unsigned char *dib, size_t dibSize, size_t *size)
{
    unsigned char *file = calloc(14 + dibSize, 1);
    const unsigned long bits = dib[14] | dib[15] << 8;
    const unsigned long compression = le32(dib + 16);
    const unsigned long table = bits <= 8 ? 4 * le32(dib + 32) : 0;
    file[0] = 'B';
    file[1] = 'M';
    put32(file + 2, (unsigned long)(14 + dibSize));
    put32(file + 10, 54 + table + (compression == 3 ? 12 : 0));
    memcpy(file + 14, dib, dibSize);
    put32(file + 14 + 24, 11810);
    put32(file + 14 + 28, 11810);
    if (compression == 3)
        put32(file + 14 + 36, 0);
    *size = 14 + dibSize;
    return file;
}

static void checkFileFromReadout(ZulConfig *config, const char *path)
{
    ZulHandle bitmap = NULL;
    unsigned char *dib, *expected, *written;
    size_t dibSize, expectedSize, writtenSize = 0;
    CHECK(ZULX_readoutDIBToFile(config, path) == ZUL_OK);
    CHECK(ZULX_readoutDIB(config, &bitmap) == ZUL_OK && bitmap != NULL);
    if (!bitmap)
        return;
    dib = bytesOf(bitmap, &dibSize);
    expected = assembleFile(dib, dibSize, &expectedSize);
    written = readFile(path, &writtenSize);
    CHECK(written != NULL && writtenSize == expectedSize && memcmp(written, expected, expectedSize) == 0);
    free(written);
    free(expected);
    free(dib);
    ZUL_globalFree(bitmap);
}

int main(void)
{
    ZulConfig config;
    ZulHandle bitmap = NULL, copy = NULL, average = NULL;
    unsigned char *dib, *other, *file;
    size_t dibSize, otherSize, fileSize = 0;
    char folder[] = "/tmp/zul-c-client-XXXXXX";
    char path[128], saved[128];
    uint32_t pixels[40 * 12];
    ZulSurface surface;
    const ZulFilter *smooth = ZULX_getFilter(1);
    const int8_t keep[1] = {1};
    ZulFilter identity;
    int x, y, ok;

    CHECK(ZUL_interfaceVersion() == ZUL_INTERFACE_VERSION);
    CHECK(ZUL_setMessageHook(collect, &messageCount) == ZUL_OK);
    CHECK(mkdtemp(folder) != NULL);
    snprintf(path, sizeof path, "%s/readout.bmp", folder);
    snprintf(saved, sizeof saved, "%s/saved.bmp", folder);

    CHECK(ZULX_defaultConfig(&config) == ZUL_OK);
    CHECK(config.palWindow.xPixels == 950 && config.ntscWindow.yPixels == 510 && config.OutputFormat == 7);
    CHECK(ZULX_prepare(&config, 0) == ZUL_ERR_NOT_INITIALIZED);
    if (ZUL_init() != ZUL_OK) {
        fprintf(stderr, "ZUL_init failed (run with ZUL_DRIVER=virtual)\n");
        return 1;
    }
    /* A 40 x 12 window over the chart's grey ramp and colour bars. */
    config.palWindow.xOffset = 424;
    config.palWindow.xActive = 400;
    config.palWindow.xPixels = 40;
    config.palWindow.yOffset = 250;
    config.palWindow.yActive = 160;
    config.palWindow.yPixels = 12;
    CHECK(ZULX_prepare(&config, 1) == ZUL_OK && config.videoStandard == 1);
    CHECK(ZULX_snap(&config) == ZUL_OK);

    /* The card was told (ZUL_VIRTUAL_CARD) to fail the library's fifth
     * claim of memory, the first after the four of ZUL_init, and its second
     * file write, the first row of the first file. */
    CHECK(ZULX_readoutDIB(&config, &bitmap) == ZUL_ERR_NO_MEMORY && bitmap == NULL);
    CHECK(messageCount == 1 && strcmp(lastMessage, "Error: Can't allocate memory !") == 0);
    CHECK(ZULX_readoutDIBToFile(&config, path) == ZUL_ERR_FILE);
    CHECK(messageCount == 2 && strcmp(lastMessage, "Error: An error occurred when writing to file") == 0);
    /* Nothing under the name, and nothing beside it: the folder is empty. */
    CHECK(access(path, F_OK) != 0);
    CHECK(rmdir(folder) == 0 && mkdir(folder, 0700) == 0);
    messageCount = 0;

    /* Every bitmap format as a file, against the readout. */
    for (config.OutputFormat = 1; config.OutputFormat <= 8; ++config.OutputFormat)
        if (config.OutputFormat != 6)
            checkFileFromReadout(&config, path);
    config.OutputFormat = 7;

    CHECK(ZULX_readoutDIB(&config, &bitmap) == ZUL_OK);
    dib = bytesOf(bitmap, &dibSize);
    CHECK(dibSize == 40 + 12 * 120 && le32(dib + 4) == 40 && le32(dib + 8) == 12);

    /* Saved as it is, behind a file header. */
    CHECK(ZULX_saveDIBToFile(bitmap, saved) == ZUL_OK);
    file = readFile(saved, &fileSize);
    CHECK(file != NULL && fileSize == 14 + dibSize && file[0] == 'B' && le32(file + 10) == 54 &&
          memcmp(file + 14, dib, dibSize) == 0);
    free(file);

    /* A copy is a block of its own with the same bytes. */
    CHECK(ZULX_copyDIB(bitmap, &copy) == ZUL_OK && copy != bitmap);
    other = bytesOf(copy, &otherSize);
    CHECK(otherSize == dibSize && memcmp(other, dib, dibSize) == 0);
    free(other);

    /* Drawn unscaled, every pixel the bitmap's; ZULX_draw reads the same. */
    surface.pixels = pixels;
    surface.width = 40;
    surface.height = 12;
    surface.stride = 40 * 4;
    surface.bitsPerPixel = 32;
    surface.palette = NULL;
    for (ok = 0; ok < 2; ++ok) {
        memset(pixels, 0, sizeof pixels);
        CHECK((ok ? ZULX_draw(&surface, &config, 0, 0, 0, 0) : ZULX_drawDIB(&surface, bitmap, 0, 0, 0, 0)) == ZUL_OK);
        for (y = 0; y < 12; ++y)
            for (x = 0; x < 40; ++x) {
                const unsigned char *p = dib + 40 + (11 - y) * 120 + 3 * x;
                const uint32_t colour = 0xFF000000u | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
                if (pixels[y * 40 + x] != colour) {
                    CHECK(pixels[y * 40 + x] == colour);
                    y = 12;
                    break;
                }
            }
    }

    /* The average of two snaps of a still picture is the picture (the
     * stored line starts on a whole Cb-Y-Cr-Y pair, so the raw pairs are
     * the readout's). */
    CHECK(ZULX_snapAverageDIB(&config, &average, 2, 2) == ZUL_OK);
    other = bytesOf(average, &otherSize);
    CHECK(otherSize == dibSize && memcmp(other, dib, dibSize) == 0);
    free(other);
    ZUL_globalFree(average);
    CHECK(ZULX_snapAverageDIB(&config, &average, 1, 0) == ZUL_ERR_RANGE && average == NULL);

    /* Filters: the identity keeps every byte and shrinks nothing; the box
     * takes a pixel off every side. */
    identity.kernelWidth = 1;
    identity.kernelHeight = 1;
    identity.divisor = 1;
    identity.absolute = 0;
    identity.coefficients = keep;
    CHECK(ZULX_filterDIB(copy, &identity) == ZUL_OK);
    other = bytesOf(copy, &otherSize);
    CHECK(otherSize == dibSize && memcmp(other, dib, dibSize) == 0);
    free(other);
    CHECK(smooth != NULL && smooth->kernelWidth == 3 && smooth->divisor == 9 && ZULX_getFilter(9) == NULL);
    CHECK(ZULX_filterDIBPredef(copy, 1) == ZUL_OK);
    other = bytesOf(copy, &otherSize);
    CHECK(le32(other + 4) == 38 && le32(other + 8) == 10 && otherSize == 40 + 10 * 116);
    free(other);
    CHECK(ZULX_filterDIBPredef(copy, 9) == ZUL_ERR_RANGE);
    ZUL_globalFree(copy);

    /* No window system here: no clipboard, and the library says so. */
    messageCount = 0;
    CHECK(ZULX_saveDIBToClipboard(bitmap) == ZUL_ERR_BAD_POINTER);
    CHECK(messageCount == 1 && strcmp(lastMessage, "Error: Can't open Clipboard !") == 0);
    CHECK(ZULX_readoutDIBToClipboard(&config) == ZUL_ERR_BAD_POINTER && messageCount == 2);
    ZUL_globalFree(bitmap);
    free(dib);

    /* A file that cannot be written is told, and nothing is left. */
    snprintf(path, sizeof path, "%s/missing/readout.bmp", folder);
    CHECK(ZULX_readoutDIBToFile(&config, path) == ZUL_ERR_FILE);
    CHECK(messageCount == 3 && strcmp(lastMessage, "Error: An error occurred when writing to file") == 0);

    CHECK(ZUL_closedown(1) == ZUL_OK);
    snprintf(path, sizeof path, "%s/readout.bmp", folder);
    CHECK(remove(path) == 0 && remove(saved) == 0 && rmdir(folder) == 0);
    CHECK(ZUL_setMessageHook(NULL, NULL) == ZUL_OK);

    if (failures)
        fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
