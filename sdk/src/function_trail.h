#pragma once

namespace zul {

// Which low-level operation ran last, and which one failed last: callers
// only get a result code, so this is how they learn where it came from.
struct FunctionTrail {
    const char *current = "";
    const char *lastError = "";
};

FunctionTrail &trail();

} // namespace zul
