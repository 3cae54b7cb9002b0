#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What an accepted input must mean. A broken promise ends the run, so
// libFuzzer keeps the input and the replay test fails on it.
#define FUZZ_CHECK(condition)                                                                                  \
    do {                                                                                                       \
        if (!(condition)) {                                                                                    \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);                 \
            std::abort();                                                                                      \
        }                                                                                                      \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
