#pragma once

#include <cstddef>

namespace zul {

// Every block the connection owns (card records, line and interpolation
// buffers) is claimed here, so that tests can make a claim fail on purpose
// and count what is still held after a failed or closed connection.
void *claim(std::size_t bytes);
void release(void *block);

// Lets `successes` more claims succeed, then fails the next one; a negative
// value switches the failure off.
void failClaimAfter(int successes);
std::size_t claimsHeld();

} // namespace zul
