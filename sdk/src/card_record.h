#pragma once

#include "ZUL_Tools_VB.h"

#include <cstdint>

// The record behind every card handle the caller holds. Field order and
// widths follow the record the card's clients have always been handed.
struct ZulCard {
    std::uint32_t cardId;
    std::uint16_t narrow;
    std::uint32_t windowAddress;   // the driver's window token
    std::uint32_t dataPortAddress; // window token + 2048
    std::int32_t configured;
    std::int32_t standard; // 1 for a 625-line signal, 0 for 525 lines
    ZulFlashRoutine flashRoutine;
    std::int32_t flashMode;
    std::uint16_t flashDelay;
    std::int32_t snapPrepared;
    std::int32_t snapStarted;
    std::int32_t snapFinished;
    std::uint16_t outputWidth;
    std::uint16_t outputLines;
    std::int32_t storedWidth;
    std::int32_t storedLines;
    std::int32_t oddDelay;
    std::uint16_t lineOffset;
    std::int32_t interlaced;
    std::int32_t monochrome;
    std::int32_t readoutStarted;
    std::int32_t readoutFormat;
    std::uint16_t linesRead;
    std::int32_t hardwareLine;
    std::int32_t cachedLineA;
    std::int32_t cachedLineB;
    std::uint8_t *interpolationA;
    std::uint8_t *interpolationB;
    std::uint16_t validityTag;
};

namespace zul {
constexpr std::uint16_t kValidCard = 4660;
// A colour line of the widest output (3200 pixels) is 6400 bytes; the
// vertical blend covers two bytes more and a raw read from an odd first
// pixel two more again.
constexpr std::size_t kLineBufferBytes = 6404;
} // namespace zul
