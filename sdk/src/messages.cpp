#include "messages.h"

#include "ZUL_Tools_VB.h"

#include <cstdio>

namespace zul {
namespace {

struct MessageHook {
    ZulMessageHook hook = nullptr;
    void *context = nullptr;
};

MessageHook &installed()
{
    static MessageHook state;
    return state;
}

} // namespace

void showMessage(const char *text, const char *title)
{
    const MessageHook &h = installed();
    if (h.hook) {
        h.hook(text, title, h.context);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title, text);
    std::fflush(stderr);
}

} // namespace zul

extern "C" ZUL_API int ZUL_setMessageHook(ZulMessageHook hook, void *context)
{
    zul::installed() = {hook, hook ? context : nullptr};
    return ZUL_OK;
}
