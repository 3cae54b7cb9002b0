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

/* A caller-owned raster standing in for a device context: 32 bits per pixel
 * for a true-colour target, or 8 bits with a 256-entry palette (0x00RRGGBB)
 * into which the library realises its own palette. */
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
ZUL_API int ZUL_startReadout(int format, int16_t *lineBytes);
ZUL_API int ZUL_readLine(uint8_t *buffer, int firstPixel, int count);
ZUL_API int ZUL_skipLines(int n);
ZUL_API int ZUL_convertCbYCrYToBGR24(uint8_t *out, const uint8_t *in, int count);
ZUL_API int ZUL_autoCrop(ZulVideoWindow *window);

/* Extended capture */
ZUL_API int ZULX_defaultConfig(ZulConfig *config);
ZUL_API int ZULX_prepare(ZulConfig *config, int force);
ZUL_API int ZULX_snap(ZulConfig *config);
ZUL_API int ZULX_readoutDIB(ZulConfig *config, ZulHandle *out);
ZUL_API int ZULX_draw(ZulSurface *dc, ZulConfig *config, int x, int y, int width, int height);
ZUL_API int ZULX_drawDIB(ZulSurface *dc, ZulHandle bitmap, int x, int y, int width, int height);
ZUL_API int ZULX_copyDIB(ZulHandle bitmap, ZulHandle *out);
ZUL_API int ZULX_readoutDIBToClipboard(ZulConfig *config);
ZUL_API int ZULX_saveDIBToClipboard(ZulHandle bitmap);
ZUL_API int ZULX_readoutDIBToFile(ZulConfig *config, const char *fileName);
ZUL_API int ZULX_saveDIBToFile(ZulHandle bitmap, const char *fileName);
ZUL_API int ZULX_snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor);

/* Filters */
ZUL_API int ZULX_filterDIB(ZulHandle bitmap, const ZulFilter *filter);
ZUL_API const ZulFilter *ZULX_getFilter(int number);
ZUL_API int ZULX_filterDIBPredef(ZulHandle bitmap, int number);

/* Settings file, palette, dialog */
ZUL_API int ZULX_readIniFile(const char *fileName, const char *section, ZulConfig *config);
ZUL_API int ZULX_saveIniFile(const char *fileName, const char *section, const ZulConfig *config);
ZUL_API int ZULX_defaultPalette(ZulSurface *dc, int gray);
ZUL_API int ZULX_releasePalette(void);
ZUL_API int ZULX_formatDialogBox(void *owner, ZulConfig *config);

/* Global memory blocks (movable; image handles are such blocks) */
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
