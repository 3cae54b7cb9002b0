/* The smallest useful client of an installed capture library: it finds the
 * virtual card's bright test area, snaps it, and reads its first line back
 * as 8-bit grey, which must be white from end to end: studio-range white
 * (Y 235) is 250 in the card's grey scale. */
#include <ZUL_Tools_VB.h>

#include <stdio.h>
#include <string.h>

int main(void)
{
    ZulConfig config;
    ZulVideoWindow window = {0, 0, 0, 0, 0, 0, 1, 0};
    unsigned char line[1024];
    int16_t lineBytes = 0;
    int x;

    int result;

    memset(&config, 0, sizeof config);
    result = ZUL_init();
    if (result == ZUL_OK)
        result = ZUL_videoConfig(0, 0, &config);
    if (result == ZUL_OK)
        result = ZUL_autoCrop(&window);
    window.xPixels = window.xActive; /* unscaled */
    window.yPixels = window.yActive;
    if (result == ZUL_OK)
        result = ZUL_prepareSnap(&window);
    if (result == ZUL_OK)
        result = ZUL_startSnap();
    if (result == ZUL_OK)
        result = ZUL_finishSnap();
    if (result == ZUL_OK)
        result = ZUL_startReadout(1, &lineBytes);
    if (result != ZUL_OK) {
        fprintf(stderr, "%s failed: %s\n", ZUL_lastErrorFunctionName(), ZUL_errorString(result));
        return 1;
    }
    if (lineBytes != window.xPixels || lineBytes > (int16_t)sizeof line
        || ZUL_readLine(line, 0, lineBytes) != ZUL_OK) {
        fprintf(stderr, "readout of %d bytes for a %d-pixel window failed\n", lineBytes, window.xPixels);
        return 1;
    }
    for (x = 0; x < lineBytes; ++x)
        if (line[x] != 250) {
            fprintf(stderr, "pixel %d of the bright area's first line is %d, not white\n", x, line[x]);
            return 1;
        }
    printf("window at (%d, %d), %d x %d pixels, first line white\n", window.xOffset, window.yOffset,
           window.xPixels, window.yPixels);
    return ZUL_closedown(1) == ZUL_OK ? 0 : 1;
}
