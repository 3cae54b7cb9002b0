#include "ZUL_Tools_VB.h"

// The version this library was built with, so a client that binds it at run
// time can refuse a library whose records or calls it does not know.
extern "C" ZUL_API int ZUL_interfaceVersion(void)
{
    return ZUL_INTERFACE_VERSION;
}
