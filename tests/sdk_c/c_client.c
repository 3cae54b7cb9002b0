/* A client in plain C: binds the shared library through the public header
 * alone and runs a card from opening to closing on the virtual driver. */
#include "ZUL_Tools_VB.h"

#include <stdio.h>
#include <string.h>

static int failures;

#define CHECK(cond)                                                                                                \
    do {                                                                                                           \
        if (!(cond)) {                                                                                             \
            fprintf(stderr, "%s:%d: %s (last error in %s)\n", __FILE__, __LINE__, #cond,                           \
                    ZUL_lastErrorFunctionName());                                                                  \
            ++failures;                                                                                            \
        }                                                                                                          \
    } while (0)

int main(void)
{
    char id[128];
    ZulConfig config;
    ZulLimits limits;
    ZulCard *card = NULL;
    uint8_t byte = 0;
    int8_t signedByte = 0;
    int32_t window = 0;
    int value;

    CHECK(strcmp(ZUL_errorString(ZUL_ERR_LOST_CONTACT), "Lost contact with ZUL Card") == 0);
    CHECK(ZUL_getCurrentCardHandle(&card) == ZUL_ERR_NOT_INITIALIZED);
    CHECK(strcmp(ZUL_lastErrorFunctionName(), "ZUL_getCurrentCardHandle") == 0);

    if (ZUL_init() != ZUL_OK) {
        fprintf(stderr, "ZUL_init failed: %s (run with ZUL_DRIVER=virtual)\n", ZUL_errorString(ZUL_init()));
        return 1;
    }
    CHECK(ZUL_getCurrentCardHandle(&card) == ZUL_OK && card != NULL);
    CHECK(ZUL_windowAddress(&window) == ZUL_OK && window != 0);

    memset(id, 0, sizeof id);
    CHECK(ZUL_getCardIdStrings(id, (int)sizeof id) == ZUL_OK);
    CHECK(strstr(id, "K7Q02") != NULL);

    memset(&config, 0, sizeof config);
    CHECK(ZUL_videoConfig(1, 0, &config) == ZUL_OK);
    CHECK(config.videoStandard == 0); /* the test runs the card on a 525-line signal */
    CHECK(ZUL_getDigitizerRegister(1, &byte) == ZUL_OK && byte == 0x78);
    CHECK(ZUL_testSignal(&config) == ZUL_OK && config.videoStandard == 0);
    CHECK(ZUL_getLimits(config.videoStandard, &limits) == ZUL_OK);
    CHECK(limits.xRange == 780 && limits.yRange == 510 && limits.xPixelsMax == 3200);

    for (value = -128; value <= 127; value += 17) {
        CHECK(ZUL_setBrightness(value) == ZUL_OK);
        CHECK(ZUL_getBrightness(&byte) == ZUL_OK && byte == (uint8_t)value);
        CHECK(ZUL_setHue(value) == ZUL_OK);
        CHECK(ZUL_getHue(&byte) == ZUL_OK && byte == (uint8_t)value);
        CHECK(ZUL_setContrast(value) == ZUL_OK);
        CHECK(ZUL_getContrast(&signedByte) == ZUL_OK && signedByte == value);
        CHECK(ZUL_setSaturation(value) == ZUL_OK);
        CHECK(ZUL_getSaturation(&signedByte) == ZUL_OK && signedByte == value);
    }
    CHECK(ZUL_setGamma(0.8f) == ZUL_OK);
    CHECK(ZUL_setGamma(0.0f) == ZUL_ERR_RANGE);
    CHECK(strcmp(ZUL_lastErrorFunctionName(), "ZUL_setGamma") == 0);
    CHECK(ZUL_GetFrame(0) == 0);

    CHECK(ZUL_closedown(1) == ZUL_OK);
    CHECK(ZUL_getCurrentCardHandle(&card) == ZUL_ERR_NOT_INITIALIZED && card == NULL);
    CHECK(ZUL_closedown(1) == ZUL_ERR_NOT_INITIALIZED);

    if (failures)
        fprintf(stderr, "%d check(s) failed\n", failures);
    return failures ? 1 : 0;
}
