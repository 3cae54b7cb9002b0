#include "function_trail.h"

namespace zul {

FunctionTrail &trail()
{
    static FunctionTrail state;
    return state;
}

} // namespace zul
