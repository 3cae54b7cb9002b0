#include "kernel_paths.h"

namespace zul {
namespace {

bool processorHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool &allowed()
{
    static bool state = true;
    return state;
}

} // namespace

bool wideKernels()
{
    static const bool available = processorHasAvx2();
    return available && allowed();
}

void allowWideKernels(bool on)
{
    allowed() = on;
}

} // namespace zul
