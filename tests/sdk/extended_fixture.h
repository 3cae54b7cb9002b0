#pragma once

#include "applied_config.h"
#include "card_fixture.h"
#include "library_palette.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

// A card test that also resets the extended layer's state and collects the
// messages the library shows, as "title: text".
class ExtendedTest : public CardTest {
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        zul::appliedConfig() = {};
        zul::libraryPalette() = {};
        ZUL_setMessageHook(
            [](const char *text, const char *title, void *context) {
                static_cast<ExtendedTest *>(context)->messages.push_back(std::string(title) + ": " + text);
            },
            this);
    }

    void TearDown() override
    {
        ZUL_setMessageHook(nullptr, nullptr);
        zul::libraryPalette() = {};
        CardTest::TearDown();
    }

    // An opened card and a record prepared for it (format and window as
    // given, everything else stock).
    ZulConfig openPrepared(int format = 7)
    {
        open();
        ZulConfig config{};
        ZULX_defaultConfig(&config);
        config.OutputFormat = format;
        EXPECT_EQ(ZULX_prepare(&config, 1), ZUL_OK);
        return config;
    }

    // Snaps a window exactly as given, below the extended layer's clamps.
    void snapWindow(ZulVideoWindow window)
    {
        ZulConfig config{};
        if (!zul::currentCard())
            open();
        ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
        ASSERT_EQ(ZUL_prepareSnap(&window), ZUL_OK);
        ASSERT_EQ(ZUL_startSnap(), ZUL_OK);
        ASSERT_EQ(ZUL_finishSnap(), ZUL_OK);
    }

    // An operation that claims a working row and then its bitmap, run with
    // each claim failing in turn: 19 and the message of each, and nothing
    // left held.
    void expectOutOfMemoryTold(const std::function<int()> &operation)
    {
        const std::size_t held = zul::claimsHeld();
        const std::pair<int, const char *> faults[] = {{0, "Error: Can't allocate memory !"},
                                                       {1, "Error: Can't lock memory !"}};
        for (const auto &[after, text] : faults) {
            messages.clear();
            zul::failClaimAfter(after);
            EXPECT_EQ(operation(), ZUL_ERR_NO_MEMORY);
            EXPECT_EQ(messages, std::vector<std::string>{text});
            EXPECT_EQ(zul::claimsHeld(), held);
        }
        zul::failClaimAfter(-1);
    }

    std::vector<std::string> messages;
};

// The bytes of a global block, and the block freed.
inline Bytes takeBlock(ZulHandle block)
{
    Bytes bytes(ZUL_globalSize(block));
    if (const void *p = ZUL_globalLock(block)) {
        std::memcpy(bytes.data(), p, bytes.size());
        ZUL_globalUnlock(block);
    }
    ZUL_globalFree(block);
    return bytes;
}

inline std::uint32_t le32(const Bytes &b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24);
}

// A packed bitmap made by hand: header, table or masks, and the rows given
// top row first, each padded to whole words.
inline ZulHandle handMadeBitmap(int bits, int width, const std::vector<Bytes> &topDown,
                                const std::vector<std::uint32_t> &table = {}, std::uint32_t compression = 0)
{
    const std::size_t stride = ((static_cast<std::size_t>(bits * width) + 31) / 32) * 4;
    const auto height = static_cast<int>(topDown.size());
    Bytes b(40 + 4 * table.size() + stride * topDown.size(), 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            b[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    put(0, 40);
    put(4, static_cast<std::uint32_t>(width));
    put(8, static_cast<std::uint32_t>(height));
    put(12, static_cast<std::uint32_t>(bits) << 16 | 1);
    put(16, compression);
    put(20, static_cast<std::uint32_t>(stride * topDown.size()));
    put(32, compression == 3 ? 3 : static_cast<std::uint32_t>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i)
        put(40 + 4 * i, table[i]);
    for (std::size_t r = 0; r < topDown.size(); ++r) {
        EXPECT_LE(topDown[r].size(), stride) << "row " << r << " is wider than the bitmap";
        std::copy(topDown[r].begin(), topDown[r].begin() + static_cast<std::ptrdiff_t>(std::min(topDown[r].size(), stride)),
                  b.begin() + static_cast<std::ptrdiff_t>(40 + 4 * table.size() + (topDown.size() - 1 - r) * stride));
    }
    ZulHandle block = ZUL_globalAlloc(b.size());
    std::memcpy(ZUL_globalLock(block), b.data(), b.size());
    ZUL_globalUnlock(block);
    return block;
}
