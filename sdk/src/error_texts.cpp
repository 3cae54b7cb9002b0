#include "ZUL_Tools_VB.h"

#include "function_trail.h"

namespace {
const char *const kResultTexts[] = {
    "No error",
    "ZUL toolkit is already in use",
    "No ZUL detected",
    "No ZUL Card driver detected",
    "This toolkit works only with K7Q02",
    "Toolkit is not initialized",
    "Video digitizer is not configured",
    "Attempt to start snap before snap prepared",
    "Attempt to finish snap before snap started",
    "Attempt to read image before snap finished",
    "Attempt to read image before startReadout",
    "No video signal detected",
    "Attempt to read monochrome image as colour",
    "Attempt to read outside snapped image",
    "Parameter to function is out of range",
    "Image width is out of range",
    "Image height is out of range",
    "Bad pointer (possibly NULL)",
    "Lost contact with ZUL Card",
    "Could not claim the memory needed in function",
    "An error while reading or writing to file",
};
constexpr int kResultCount = static_cast<int>(sizeof kResultTexts / sizeof kResultTexts[0]);
} // namespace

extern "C" ZUL_API const char *ZUL_errorString(int code)
{
    if (code < 0 || code >= kResultCount)
        return "Unknown error";
    return kResultTexts[code];
}

extern "C" ZUL_API const char *ZUL_lastErrorFunctionName(void)
{
    return zul::trail().lastError;
}
