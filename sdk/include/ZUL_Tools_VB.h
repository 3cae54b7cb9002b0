/* Public interface of the ZUL_Tools_VB capture library.
 *
 * Plain C so that any client (the Isostep application, a C test program, a
 * lab's own tool) can bind it. Every record crosses the boundary in the
 * little-endian 32-bit slot layout the card's original clients used, so the
 * sizes and offsets below are pinned by static assertions. */
#ifndef ZUL_TOOLS_VB_H
#define ZUL_TOOLS_VB_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(ZUL_BUILDING_LIBRARY)
#define ZUL_API __attribute__((visibility("default")))
#else
#define ZUL_API
#endif

/* Result codes; 0 is the only success. */
enum {
    ZUL_OK = 0,
    ZUL_ERR_IN_USE = 1,
    ZUL_ERR_NO_CARD = 2,
    ZUL_ERR_NO_DRIVER = 3,
    ZUL_ERR_WRONG_BOARD = 4,
    ZUL_ERR_NOT_INITIALIZED = 5,
    ZUL_ERR_NOT_CONFIGURED = 6,
    ZUL_ERR_SNAP_NOT_PREPARED = 7,
    ZUL_ERR_SNAP_NOT_STARTED = 8,
    ZUL_ERR_SNAP_NOT_FINISHED = 9,
    ZUL_ERR_READOUT_NOT_STARTED = 10,
    ZUL_ERR_NO_SIGNAL = 11,
    ZUL_ERR_MONOCHROME = 12,
    ZUL_ERR_OUTSIDE_IMAGE = 13,
    ZUL_ERR_RANGE = 14,
    ZUL_ERR_WIDTH = 15,
    ZUL_ERR_HEIGHT = 16,
    ZUL_ERR_BAD_POINTER = 17,
    ZUL_ERR_LOST_CONTACT = 18,
    ZUL_ERR_NO_MEMORY = 19,
    ZUL_ERR_FILE = 20
};

typedef struct ZulVideoWindow {
    uint16_t xOffset;
    uint16_t xActive;
    uint16_t xPixels;
    uint16_t yOffset;
    uint16_t yActive;
    uint16_t yPixels;
    int32_t interlaced;
    int32_t monochrome;
} ZulVideoWindow;

typedef struct ZulConfig {
    int32_t videoStandard; /* 0 = 525 lines, 1 = 625 lines, 2 = no signal */
    int32_t SignalType;
    int32_t InputChannel;
    int32_t Brightness;
    int32_t Contrast;
    int32_t Saturation;
    float Gamma;
    int32_t Hue;
    ZulVideoWindow ntscWindow;
    ZulVideoWindow palWindow;
    int32_t OutputFormat;
    int32_t ExtTrig;
    int32_t Flash;
    int32_t ExtTrigEnable;
    int32_t FlashEnable;
    int32_t Gray16Enable;
    int32_t Gray256Enable;
    int32_t Color256Enable;
    int32_t Color16MEnable;
    int32_t Color32kEnable;
    int32_t Color64kEnable;
    int32_t Color32bitEnable;
} ZulConfig;

typedef struct ZulLimits {
    uint16_t xRange;
    uint16_t xPixelsMax;
    uint16_t xScaleNum;
    uint16_t xScaleDen;
    uint16_t yRange;
    uint16_t yPixelsMax;
    uint16_t yScaleNum;
    uint16_t yScaleDen;
} ZulLimits;

typedef struct ZulFilter {
    uint8_t kernelWidth;
    uint8_t kernelHeight;
    int32_t divisor;
    int32_t absolute;
    const int8_t *coefficients;
} ZulFilter;

/* A caller-owned raster standing in for a device context. Rows run top to
 * bottom; `stride` is the distance in bytes from the start of one row to the
 * start of the next (at least width x bytes per pixel). `bitsPerPixel` is 32
 * for a true-colour target, whose pixels the library writes as 0xFFRRGGBB
 * (one native 32-bit word per pixel), or 8 for a 256-colour target, whose
 * pixels are indices into `palette`: 256 entries 0x00RRGGBB that the library
 * overwrites with its own palette when it has one (ZULX_defaultPalette) and
 * otherwise takes as the caller set them. */
typedef struct ZulSurface {
    void *pixels;
    int32_t width;
    int32_t height;
    int32_t stride;
    int32_t bitsPerPixel;
    uint32_t *palette;
} ZulSurface;

typedef struct ZulCard ZulCard;
/* Global-memory block handle: image handles are such blocks. */
typedef void *ZulHandle;
typedef void (*ZulFlashRoutine)(int phase);
/* Receives every message the library shows ("Can't allocate memory !" and
 * the like, with the title "Error"); see ZUL_setMessageHook. */
typedef void (*ZulMessageHook)(const char *text, const char *title, void *context);

/* Raised on every change to this header that an already built client could
 * trip over (a record's layout, an export's arguments or meaning). */
#define ZUL_INTERFACE_VERSION 1

#define ZUL_STATIC_ASSERT(cond, msg) typedef char zul_static_assert_##msg[(cond) ? 1 : -1]
ZUL_STATIC_ASSERT(sizeof(ZulVideoWindow) == 20, video_window_is_five_slots);
ZUL_STATIC_ASSERT(sizeof(ZulConfig) == 120, config_is_thirty_slots);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, Gamma) == 24, gamma_is_slot_7);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, Hue) == 28, hue_is_slot_8);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, ntscWindow) == 32, ntsc_window_is_slot_9);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, palWindow) == 52, pal_window_is_slot_14);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, OutputFormat) == 72, output_format_is_slot_19);
ZUL_STATIC_ASSERT(offsetof(ZulConfig, Color32bitEnable) == 116, last_enable_is_slot_30);
ZUL_STATIC_ASSERT(offsetof(ZulVideoWindow, yOffset) == 6, y_offset_follows_x_fields);
ZUL_STATIC_ASSERT(offsetof(ZulVideoWindow, interlaced) == 12, interlaced_is_slot_4);
ZUL_STATIC_ASSERT(sizeof(ZulLimits) == 16, limits_are_eight_words);
ZUL_STATIC_ASSERT(offsetof(ZulFilter, divisor) == 4, filter_divisor_after_sizes);

/* Connection and errors */
ZUL_API int ZUL_init(void);
ZUL_API int ZUL_closedown(int flag);
ZUL_API int ZUL_getCurrentCardHandle(ZulCard **out);
ZUL_API int ZUL_setActiveCard(ZulCard *card);
ZUL_API int ZUL_getCardIdStrings(char *buffer, int size);
ZUL_API const char *ZUL_errorString(int code);
ZUL_API const char *ZUL_lastErrorFunctionName(void);
ZUL_API uint8_t ZUL_GetFrame(int flag);

/* Registers and raw access */
ZUL_API int ZUL_setDigitizerRegister(int reg, int value);
ZUL_API int ZUL_getDigitizerRegister(int reg, uint8_t *out);
ZUL_API int ZUL_setDigitizerRegisters(const uint8_t *block24);
ZUL_API int ZUL_getDigitizerRegisters(uint8_t *block24);
ZUL_API int ZUL_setControlStatus(int value);
ZUL_API int ZUL_getControlStatus(uint8_t *out);
ZUL_API int ZUL_getData(uint16_t *out);
ZUL_API int ZUL_windowAddress(int32_t *out);

/* Video configuration and picture controls */
ZUL_API int ZUL_videoConfig(int channel, int signalType, ZulConfig *config);
ZUL_API int ZUL_testSignal(ZulConfig *config);
ZUL_API int ZUL_setBrightness(int value);
ZUL_API int ZUL_setContrast(int value);
ZUL_API int ZUL_setSaturation(int value);
ZUL_API int ZUL_setHue(int value);
ZUL_API int ZUL_setGamma(float gamma);
ZUL_API int ZUL_getBrightness(uint8_t *out);
ZUL_API int ZUL_getContrast(int8_t *out);
ZUL_API int ZUL_getSaturation(int8_t *out);
ZUL_API int ZUL_getHue(uint8_t *out);
ZUL_API int ZUL_getLimits(int standard, ZulLimits *out);

/* Snap and readout */
ZUL_API int ZUL_prepareSnap(ZulVideoWindow *window);
ZUL_API int ZUL_startSnap(void);
ZUL_API int ZUL_finishSnap(void);
ZUL_API int ZUL_flashSnap(void);
ZUL_API int ZUL_extTrigSnap(int timeoutMs);
ZUL_API int ZUL_enableFlash(int mode, ZulFlashRoutine routine, int delay);
ZUL_API int ZUL_disableFlash(void);
/* Readout formats, with bytes per pixel: 1 grey (1); 2 grey in 16 dithered
 * levels (1/2, the first pixel in the high nibble); 3 dithered 3-3-2 colour
 * index (1); 4 16-bit 5-5-5 (2); 5 16-bit 5-6-5 (2); 6 R, G, B (3);
 * 7 B, G, R (3); 8 B, G, R, 0 (4); 9 Y, Cr, Cb (3); 10 the card's raw
 * Cb, Y, Cr, Y words (2, see below); 11 Y, Cb, Cr (3). Formats 3 to 11 need
 * a colour snap.
 *
 * Format 10 gives `count` rounded up to even words, starting at the pair
 * that holds `firstPixel`: when that pixel is the second of its pair on the
 * card, the words start one pixel early, so the pixel asked for is always
 * among them (and an even count then ends one pixel before the last one
 * asked for). A pair that began before the card started storing the line
 * gets the Cb of the pair after it and a black first pixel (Y 16); words
 * past the end of the line are black (128, 16). */
ZUL_API int ZUL_startReadout(int format, int16_t *lineBytes);
ZUL_API int ZUL_readLine(uint8_t *buffer, int firstPixel, int count);
ZUL_API int ZUL_skipLines(int n);
ZUL_API int ZUL_convertCbYCrYToBGR24(uint8_t *out, const uint8_t *in, int count);
ZUL_API int ZUL_autoCrop(ZulVideoWindow *window);

/* Extended capture.
 *
 * One ZulConfig holds every capture setting; the window used is palWindow
 * when videoStandard is 1 and ntscWindow otherwise. OutputFormat picks the
 * bitmap: 1 = 8-bit grey (256-entry grey table), 2 = 4-bit grey (16
 * entries), 3 = 8-bit 3-3-2 colour (256 entries), 4 = 16-bit 5-5-5,
 * 5 = 16-bit 5-6-5 (three masks, compression 3), 7 = 24-bit B, G, R,
 * 8 = 32-bit B, G, R, 0; other formats give ZUL_ERR_RANGE where a bitmap is
 * made.
 *
 * Bitmaps cross as global-memory handles holding a packed device-independent
 * bitmap: a 40-byte header (height positive, rows bottom-up), the colour table
 * or masks, then the rows, each padded to a multiple of 4 bytes. A handle
 * returned through `out` belongs to the caller, who frees it with
 * ZUL_globalFree; on any failure `*out` is NULL and nothing is to be freed.
 * A NULL pointer argument gives ZUL_ERR_BAD_POINTER unless stated otherwise.
 * Messages go through the message hook (ZUL_setMessageHook). */

/* Stock settings: 950 x 610 and 780 x 510 full-frame windows, format 7,
 * every format enabled. Needs no card. */
ZUL_API int ZULX_defaultConfig(ZulConfig *config);
/* Applies the record to the card and corrects it in place: channel, signal
 * type and picture controls clamped, the format replaced by an enabled one,
 * the window clamped to the signal's limits. The first call, any call with
 * `force` nonzero and any call after the card was opened afresh program every
 * setting; other calls only what changed since the last successful one.
 * Errors of the card operations are returned unchanged. */
ZUL_API int ZULX_prepare(ZulConfig *config, int force);
/* Snaps the record's window: on the external trigger (10.2 s at most) when
 * ExtTrig is set, with the flash when Flash is set, plainly otherwise. */
ZUL_API int ZULX_snap(ZulConfig *config);
/* Reads the latest snap out as a new bitmap in OutputFormat, as large as
 * the window the snap was taken with. Errors of the readout (no snap, a
 * colour format of a monochrome snap) are returned unchanged;
 * ZUL_ERR_NO_MEMORY, with a message, when memory runs out. */
ZUL_API int ZULX_readoutDIB(ZulConfig *config, ZulHandle *out);
/* Reads the latest snap out and draws it as ZULX_drawDIB does. A format
 * that makes no bitmap is read as 7, and 7 as the dithered 3-3-2 format 3
 * on an 8-bit surface; the record's OutputFormat is left as it was. */
ZUL_API int ZULX_draw(ZulSurface *dc, ZulConfig *config, int x, int y, int width, int height);
/* Draws a bitmap of 4, 8, 16, 24 or 32 bits with its top left corner at
 * (x, y), clipped to the surface. Width and height (low 16 bits, signed) of 0
 * or equal to the bitmap's draw it unscaled; other values stretch it to
 * that size, each target pixel taking the source pixel nearest its centre;
 * a negative size gives ZUL_ERR_RANGE. On an 8-bit surface each pixel
 * becomes the nearest palette entry. The bitmap stays the caller's.
 * ZUL_ERR_RANGE also for a surface of another depth, a stride too short for
 * its width, or a bitmap whose header does not fit its block; an 8-bit
 * surface without a palette gives ZUL_ERR_BAD_POINTER. */
ZUL_API int ZULX_drawDIB(ZulSurface *dc, ZulHandle bitmap, int x, int y, int width, int height);
/* Copies every byte of a bitmap's block into a new block for `*out`.
 * ZUL_ERR_NO_MEMORY when a block cannot be had or locked (also for a handle
 * that is no global block). */
ZUL_API int ZULX_copyDIB(ZulHandle bitmap, ZulHandle *out);
/* ZULX_readoutDIB, then ZULX_saveDIBToClipboard with the new bitmap; the
 * first error is returned and no bitmap is left behind. */
ZUL_API int ZULX_readoutDIBToClipboard(ZulConfig *config);
/* Puts the bitmap on the clipboard (with the library palette, when there is
 * one, the image is the picture as that palette shows it). On success the
 * clipboard owns the bitmap: the handle is freed and must not be used again.
 * Without a clipboard (no Qt GUI application on the calling thread, or no
 * Qt part beside the library) the message "Can't open Clipboard !" is
 * shown, ZUL_ERR_BAD_POINTER returned and the bitmap stays the caller's. */
ZUL_API int ZULX_saveDIBToClipboard(ZulHandle bitmap);
/* Writes the latest snap as a BMP file (11810 pixels per metre), bottom row
 * first, holding only one row in memory. The file appears under its name only
 * once it is complete: when a write fails the message "An error occurred when
 * writing to file" is shown, ZUL_ERR_FILE returned, and whatever file had
 * the name before is left as it was. */
ZUL_API int ZULX_readoutDIBToFile(ZulConfig *config, const char *fileName);
/* Writes a bitmap as a BMP file: a 14-byte file header, then the packed
 * bitmap as it is in memory. ZUL_ERR_FILE without a message when the file
 * cannot be written, leaving an earlier file of that name as it was. */
ZUL_API int ZULX_saveDIBToFile(ZulHandle bitmap, const char *fileName);
/* Snaps `frames` (low 8 bits) times and returns the average, each byte the
 * sum divided by `divisor` (low 8 bits; 0 gives ZUL_ERR_RANGE) and held at
 * 255. OutputFormat must be 1 (8-bit grey) or 7 (24-bit colour, averaged on
 * the raw Cb-Y-Cr-Y samples and converted once). With 0 frames the picture
 * is black. */
ZUL_API int ZULX_snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor);

/* Filters.
 *
 * A kernel of kernelWidth x kernelHeight signed coefficients, row after row;
 * row 0 applies to the lowest-addressed row of the window, that is the
 * lowest picture row of a bottom-up bitmap. Each byte of an 8, 24 or 32-bit
 * bitmap (every channel on its own, palette indices as they are) becomes the
 * weighted sum divided by `divisor` (toward zero); a negative result becomes
 * its magnitude when `absolute` is nonzero and 0 otherwise; results above 255
 * become 255. The bitmap is filtered in place and shrinks to where the
 * kernel fits: (width - kernelWidth + 1) x (height - kernelHeight + 1).
 * A kernel size or divisor of 0, a bitmap smaller than the kernel or of
 * another depth give ZUL_ERR_RANGE and leave the bitmap as it was; a handle
 * that cannot be locked gives ZUL_ERR_NO_MEMORY. */
ZUL_API int ZULX_filterDIB(ZulHandle bitmap, const ZulFilter *filter);
/* One of the eight built-in filters (1 smoothing, 2 weighted smoothing,
 * 3 and 4 sharpening, 5 vertical smoothing, 6 a 3 x 5 line detector, 7 and 8
 * edge detectors), or NULL for any other number. Constant data: never free
 * or change it. */
ZUL_API const ZulFilter *ZULX_getFilter(int number);
/* ZULX_filterDIB with built-in filter `number` (low 16 bits); ZUL_ERR_RANGE
 * when there is no such filter. */
ZUL_API int ZULX_filterDIBPredef(ZulHandle bitmap, int number);

/* Settings file, palette, dialog */
/* Reads a capture settings file section into the record (stock values for
 * what the file lacks); ZUL_ERR_FILE with a message when a required key is
 * missing. Section and key names match in any letter case; a file that
 * cannot be opened reads as empty. */
ZUL_API int ZULX_readIniFile(const char *fileName, const char *section, ZulConfig *config);
/* Writes the record into a section of a capture settings file, keeping the
 * file's other lines; ZUL_ERR_FILE with a message when it cannot, and then
 * the file is as it was before. */
ZUL_API int ZULX_saveIniFile(const char *fileName, const char *section, const ZulConfig *config);
/* Makes the library palette (grey or 3-3-2 colour) for an 8-bit surface and
 * copies it into the surface's palette; 0 without a palette for a deeper
 * surface, ZUL_ERR_BAD_POINTER for a shallower one or an 8-bit surface
 * without a palette array. */
ZUL_API int ZULX_defaultPalette(ZulSurface *dc, int gray);
/* Forgets the library palette. */
ZUL_API int ZULX_releasePalette(void);
/* Opens the modeless "Image Format" dialog over `owner` (a QWidget *),
 * changing and applying `config` while it is open; the record must outlive
 * the dialog. Asked again for the same record, the open dialog comes
 * forward. -1 when `config` is NULL, when `owner` is not a live widget of
 * the caller's QApplication, or when the library's Qt part
 * (libZUL_Tools_VB_qt.so, beside this library) cannot be loaded. */
ZUL_API int ZULX_formatDialogBox(void *owner, ZulConfig *config);

/* Library messages and interface version */
/* Sends every message the library shows to `hook` instead of standard
 * error, where messages go by default (and again after a NULL hook). The
 * hook is called on the thread that made the failing call. */
ZUL_API int ZUL_setMessageHook(ZulMessageHook hook, void *context);
/* The ZUL_INTERFACE_VERSION the library was built with. */
ZUL_API int ZUL_interfaceVersion(void);

/* Global memory blocks (movable; image handles are such blocks). A block's
 * address is valid only between ZUL_globalLock and ZUL_globalUnlock;
 * ZUL_globalReAlloc refuses a locked block. New blocks are zero-filled. */
ZUL_API ZulHandle ZUL_globalAlloc(size_t bytes);
ZUL_API void *ZUL_globalLock(ZulHandle block);
ZUL_API int ZUL_globalUnlock(ZulHandle block);
ZUL_API size_t ZUL_globalSize(ZulHandle block);
ZUL_API ZulHandle ZUL_globalReAlloc(ZulHandle block, size_t bytes);
ZUL_API ZulHandle ZUL_globalFree(ZulHandle block);

#ifdef __cplusplus
}
#endif

#endif
