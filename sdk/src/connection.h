#pragma once

#include "card_record.h"
#include "driver_channel.h"
#include "lookup_tables.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zul {

// The one process-wide connection with the card. Driven from the user
// interface thread only, so it has no locks.
struct Connection {
    ZulCard *current = nullptr;
    int count = 0;
    std::unique_ptr<DriverChannel> device;
    std::uint32_t cardId = 0;
    std::uint16_t narrow = 0;
    std::uint8_t *lineBuffer = nullptr;
    std::uint8_t wholeFrame = 0;
    std::uint16_t autoCropThreshold = 0;
    LookupTables tables;
    // The whole stored image of the latest snap, when it was transferred in
    // one request, and the card whose snap it is: a readout never converts
    // a store left over from an earlier snap or another card's.
    std::vector<std::uint8_t> frameStore;
    const ZulCard *frameOwner = nullptr;
    std::uint16_t frameWordsPerLine = 0;
    // Every record handed out and not yet closed, so that a stale handle
    // is refused without reading the memory it once pointed to.
    std::vector<ZulCard *> records;
};

Connection &connection();

// The current card, or nullptr; what every operation that needs the card
// checks first.
inline ZulCard *currentCard()
{
    return connection().current;
}

bool isLiveRecord(const ZulCard *card);

} // namespace zul
