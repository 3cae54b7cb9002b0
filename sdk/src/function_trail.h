#pragma once

namespace zul {

// Which low-level operation ran last, and which one failed last: callers
// only get a result code, so this is how they learn where it came from.
struct FunctionTrail {
    const char *current = "";
    const char *lastError = "";
};

FunctionTrail &trail();

// A failure is charged to the current name rather than the caller's own,
// because a nested low-level call may have taken over the name and it is
// the one that actually went wrong.
inline int failed(int code)
{
    trail().lastError = trail().current;
    return code;
}

// Entered by every low-level export before anything else, so even a
// rejected argument is charged to the right operation.
inline void entering(const char *name)
{
    trail().current = name;
}

} // namespace zul
