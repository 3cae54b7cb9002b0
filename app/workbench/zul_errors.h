#pragma once

#include <QString>
#include <cstdint>

class CardLibrary;
class Operator;

// The application's own wording for each capture-library result code.
QString ZulErrorText(int16_t code);

// Any non-zero result of a call that brings the card up or down is fatal:
// the operator is told, the card is closed down, and the program ends at
// once. The code variable receives the close-down's result.
void CheckZulError(int16_t &code, CardLibrary &library, Operator &op);
