#pragma once

namespace zul {

// Every message the library shows goes through here, so the library itself
// needs no window system: a plain C client reads the text on standard
// error, the workstation installs a hook that puts it in a message box.
void showMessage(const char *text, const char *title);

constexpr const char *kErrorTitle = "Error";
constexpr const char *kCantAllocate = "Can't allocate memory !";
constexpr const char *kCantLock = "Can't lock memory !";
constexpr const char *kCantWrite = "An error occurred when writing to file";
constexpr const char *kCantOpenClipboard = "Can't open Clipboard !";

// Shows `text` titled "Error" and gives `result`, for the failures the
// library reports in a box as well as in its result.
inline int reportError(const char *text, int result)
{
    showMessage(text, kErrorTitle);
    return result;
}

} // namespace zul
