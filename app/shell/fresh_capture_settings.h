#pragma once

struct AppState;
class CardLibrary;
class Operator;

// A fresh installation has no capture settings files: the card would start
// on the library's whole-frame defaults and the area selection's snapshot
// on nothing. Writes "capture.ini" for the area in use and "captotal.ini"
// for the whole frame, each only when it is missing, and tells the operator
// about a file that cannot be written; the bring-up carries on either way.
void writeMissingCaptureSettings(const AppState &state, CardLibrary &card, Operator &op);
