#include "connection.h"

#include "claims.h"
#include "function_trail.h"
#include "registers.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zul {
namespace {

constexpr int kStartUpRegister = 31;
constexpr std::uint8_t kStartUpValue = 119;
constexpr unsigned kStartUpMilliseconds = 2000;

// The outcome of opening the driver: a window token, or the reply that
// stands for a missing card, driver or board.
struct Opened {
    int result;
    std::uint32_t window;
    bool fresh;
};

// Opens the device when no connection holds it yet. A second `ZUL_init`
// reuses the handle the first one opened: a fresh handle would orphan the
// first, which only the last close releases.
Opened openDriver(Connection &c)
{
    if (!c.device) {
        std::unique_ptr<DriverChannel> device;
        try {
            device = makeDriverChannel();
        } catch (const std::bad_alloc &) {
            return {ZUL_ERR_NO_MEMORY, 0, false};
        }
        if (!device || !device->open())
            return {ZUL_ERR_NO_DRIVER, 0, false};
        c.device = std::move(device);
    }
    std::uint32_t probe = 0;
    std::uint32_t returned = 0;
    if (!c.device->control(kProbe, nullptr, 0, &probe, sizeof probe, &returned))
        return {ZUL_ERR_NO_DRIVER, 0, false};
    const std::uint32_t which = 2;
    OpenCardReply reply{};
    if (!c.device->control(kOpenCard, &which, sizeof which, &reply, sizeof reply, &returned))
        return {ZUL_ERR_NO_CARD, 0, false};
    c.narrow = (reply.status & kStatusNarrowCard) ? 1 : 0;
    const bool fresh = (reply.status & kStatusFreshStart) != 0;
    if (fresh)
        c.device->pause(kStartUpMilliseconds);
    c.cardId = reply.cardId;
    switch (reply.window) {
    case kWindowNoCard:
        return {ZUL_ERR_NO_CARD, 0, false};
    case kWindowNoDriver:
        return {ZUL_ERR_NO_DRIVER, 0, false};
    case kWindowOtherBoard:
        return {ZUL_ERR_WRONG_BOARD, 0, false};
    default:
        return {ZUL_OK, reply.window, fresh};
    }
}

void freeRecord(Connection &c, ZulCard *card)
{
    if (!card)
        return;
    std::erase(c.records, card);
    if (c.frameOwner == card)
        c.frameOwner = nullptr;
    release(card->interpolationA);
    release(card->interpolationB);
    card->validityTag = 0;
    release(card);
}

// A failed `ZUL_init` leaves the connection as it found it: the count, the
// card that was current, and no device held open for nobody.
int abandonInit(Connection &c, ZulCard *card, ZulCard *previous, int result)
{
    freeRecord(c, card);
    c.current = previous;
    if (c.count == 0) {
        release(c.lineBuffer);
        c.lineBuffer = nullptr;
        if (c.device) {
            c.device->close();
            c.device.reset();
        }
    }
    return failed(result);
}

} // namespace

Connection &connection()
{
    static Connection state;
    return state;
}

bool isLiveRecord(const ZulCard *card)
{
    const auto &records = connection().records;
    return card && std::find(records.begin(), records.end(), card) != records.end();
}

} // namespace zul

using namespace zul;

extern "C" ZUL_API int ZUL_init(void)
{
    Connection &c = connection();
    c.wholeFrame = 1;
    c.autoCropThreshold = 25;
    entering("ZUL_init");
    ZulCard *const previous = c.current;

    const Opened opened = openDriver(c);
    if (opened.result != ZUL_OK)
        return abandonInit(c, nullptr, previous, opened.result);

    auto *card = static_cast<ZulCard *>(claim(sizeof(ZulCard)));
    if (!card)
        return abandonInit(c, nullptr, previous, ZUL_ERR_NO_MEMORY);
    new (card) ZulCard{};
    try {
        c.records.push_back(card);
    } catch (const std::bad_alloc &) {
        release(card);
        return abandonInit(c, nullptr, previous, ZUL_ERR_NO_MEMORY);
    }
    c.current = card;
    card->validityTag = kValidCard;
    card->narrow = c.narrow;
    card->flashRoutine = nullptr;
    card->cardId = c.cardId;
    card->windowAddress = opened.window;
    card->dataPortAddress = opened.window + kWindowDataPort;
    card->cachedLineA = -1;
    card->cachedLineB = -1;

    if (opened.fresh && !writeRegister(kStartUpRegister, kStartUpValue))
        return abandonInit(c, card, previous, ZUL_ERR_LOST_CONTACT);

    buildLookupTables(c.tables, 1.0f);

    // Each record has interpolation buffers of its own, so closing one card
    // never pulls the buffers from under another that is still open.
    std::uint8_t *claimedLineBuffer = nullptr;
    if (!c.lineBuffer) {
        claimedLineBuffer = static_cast<std::uint8_t *>(claim(kLineBufferBytes));
        if (!claimedLineBuffer)
            return abandonInit(c, card, previous, ZUL_ERR_NO_MEMORY);
        c.lineBuffer = claimedLineBuffer;
    }
    card->interpolationA = static_cast<std::uint8_t *>(claim(kLineBufferBytes));
    card->interpolationB = card->interpolationA ? static_cast<std::uint8_t *>(claim(kLineBufferBytes)) : nullptr;
    if (!card->interpolationB) {
        if (claimedLineBuffer) {
            release(claimedLineBuffer);
            c.lineBuffer = nullptr;
        }
        return abandonInit(c, card, previous, ZUL_ERR_NO_MEMORY);
    }
    ++c.count;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_closedown(int flag)
{
    entering("ZUL_closedown");
    Connection &c = connection();
    ZulCard *card = c.current;
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    --c.count;
    if (c.device) {
        const CloseCardInput input{card->cardId, flag == 0 ? 1u : 0u};
        std::uint32_t ignored = 0;
        std::uint32_t returned = 0;
        c.device->control(kCloseCard, &input, sizeof input, &ignored, sizeof ignored, &returned);
        if (c.count == 0) {
            c.device->close();
            c.device.reset();
        }
    }
    if (c.count == 0) {
        release(c.lineBuffer);
        c.lineBuffer = nullptr;
    }
    freeRecord(c, card);
    c.current = nullptr;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getCurrentCardHandle(ZulCard **out)
{
    entering("ZUL_getCurrentCardHandle");
    if (!out)
        return failed(ZUL_ERR_BAD_POINTER);
    *out = currentCard();
    if (!*out)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_setActiveCard(ZulCard *card)
{
    entering("ZUL_setActiveCard");
    Connection &c = connection();
    // A handle of a closed card points at freed memory; only records still
    // handed out are looked into.
    if (!isLiveRecord(card) || card->windowAddress == 0 || card->validityTag != kValidCard) {
        c.current = nullptr;
        return failed(ZUL_ERR_NOT_INITIALIZED);
    }
    c.current = card;
    return ZUL_OK;
}

extern "C" ZUL_API int ZUL_getCardIdStrings(char *buffer, int size)
{
    entering("ZUL_getCardIdStrings");
    const ZulCard *card = currentCard();
    if (!card)
        return failed(ZUL_ERR_NOT_INITIALIZED);
    if (!buffer)
        return failed(ZUL_ERR_BAD_POINTER);
    const std::uint16_t bytes = static_cast<std::uint16_t>(size);
    if (bytes == 0)
        return failed(ZUL_ERR_RANGE);
    const std::uint32_t id = card->cardId;
    std::uint32_t returned = 0;
    // The identification is a courtesy: when the driver cannot give it the
    // caller gets an empty text, not an error.
    if (!connection().device || !connection().device->control(kIdentify, &id, sizeof id, buffer, bytes, &returned))
        buffer[0] = '\0';
    else if (!std::memchr(buffer, '\0', bytes))
        buffer[bytes - 1] = '\0'; // a text that fills the buffer still ends in it
    return ZUL_OK;
}

extern "C" ZUL_API uint8_t ZUL_GetFrame(int flag)
{
    connection().wholeFrame = static_cast<std::uint8_t>(flag);
    return connection().wholeFrame;
}
