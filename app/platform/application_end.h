#pragma once

#include <functional>

// Ends the program at once, skipping every window's unload handling, as the
// fatal card check and the splash's "CLOSE" require. Tests replace the
// handler so they can observe the end instead of dying with it.
using ApplicationEndHandler = std::function<void(int exitCode)>;

void endApplicationNow(int exitCode);
ApplicationEndHandler setApplicationEndHandler(ApplicationEndHandler handler);
