#pragma once

#include "card_record.h"

#include <cstdint>

namespace zul {

// Control register values of the snap and readout sequences.
constexpr std::uint8_t kResetLinePointer = 128;
constexpr std::uint8_t kAdvanceLinePointer = 64;
constexpr std::uint8_t kStartAcquisition = 16;

// Status bits the sequences poll.
constexpr std::uint8_t kStatusRunning = 0x10;
constexpr std::uint8_t kStatusPhase = 0x40;
constexpr std::uint8_t kStatusStarted = 0x80;

// The library's frame store: a full 625-line colour window, 610 lines of
// 950 pixels at 2 bytes.
constexpr std::size_t kFrameStoreBytes = 1159000;

// Polls the status until `bit` reads as `set`, waiting 1 unit after each
// reading that does not; false after 100 readings.
bool waitForStatus(std::uint8_t bit, bool set);

// The acquisition mode bits of the prepared window.
std::uint8_t acquisitionMode(const ZulCard &card);

// Words per line the whole-frame transfer moves for the prepared window.
int frameWordsPerLine(const ZulCard &card);

// What every snap does once its acquisition is over: reset the line
// pointer, take the whole frame when asked to, and mark the snap finished.
void concludeSnap(ZulCard &card);

void resetLinePointer();

} // namespace zul
