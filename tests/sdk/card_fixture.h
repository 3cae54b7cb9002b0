#pragma once

#include "ZUL_Tools_VB.h"
#include "card_record.h"
#include "claims.h"
#include "connection.h"
#include "driver_selection.h"
#include "function_trail.h"
#include "virtual_card.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Each test gets a card fresh from the box and leaves no connection, no
// claimed block and no armed fault behind.
class CardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zul::trail() = {};
        zul::failClaimAfter(-1);
        card = zul::vcard::installVirtualCard(cardOptions());
        card->record(true);
    }

    void TearDown() override
    {
        zul::failClaimAfter(-1);
        card->options() = {};
        auto &c = zul::connection();
        while (c.count > 0) {
            if (!c.current)
                ZUL_setActiveCard(c.records.front());
            ZUL_closedown(1);
        }
        EXPECT_EQ(zul::claimsHeld(), 0u);
        EXPECT_FALSE(card->deviceOpen());
        zul::vcard::removeVirtualCard();
        zul::chooseDriver(zul::DriverChoice::Environment);
    }

    virtual zul::vcard::VirtualCardOptions cardOptions() { return {}; }

    void open() { ASSERT_EQ(ZUL_init(), ZUL_OK); }

    // Opens the card and configures input 0 for whatever signal it sees.
    void openConfigured()
    {
        open();
        ZulConfig config{};
        ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    }

    ZulCard *record() { return zul::currentCard(); }

    std::string lastError() { return ZUL_lastErrorFunctionName(); }

    // The register writes the driver accepted, as (first register, bytes).
    std::vector<std::pair<int, std::vector<std::uint8_t>>> registerWrites() const
    {
        std::vector<std::pair<int, std::vector<std::uint8_t>>> writes;
        for (const auto &t : card->transfers())
            if (t.code == zul::kWriteRegisters && t.ok)
                writes.emplace_back(t.first, t.bytes);
        return writes;
    }

    std::shared_ptr<zul::vcard::VirtualCard> card;
};

using Bytes = std::vector<std::uint8_t>;

inline ZulVideoWindow videoWindow(int xOffset, int xActive, int xPixels, int yOffset, int yActive, int yPixels,
                                  int interlaced = 1, int monochrome = 0)
{
    return ZulVideoWindow{static_cast<std::uint16_t>(xOffset), static_cast<std::uint16_t>(xActive),
                          static_cast<std::uint16_t>(xPixels), static_cast<std::uint16_t>(yOffset),
                          static_cast<std::uint16_t>(yActive), static_cast<std::uint16_t>(yPixels),
                          interlaced, monochrome};
}
using Writes = std::vector<std::pair<int, Bytes>>;
