#include "application_end.h"

#include <cstdio>
#include <cstdlib>

namespace {
ApplicationEndHandler &handlerSlot()
{
    static ApplicationEndHandler handler;
    return handler;
}
} // namespace

void endApplicationNow(int exitCode)
{
    if (handlerSlot()) {
        handlerSlot()(exitCode);
        return;
    }
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

ApplicationEndHandler setApplicationEndHandler(ApplicationEndHandler handler)
{
    ApplicationEndHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}
