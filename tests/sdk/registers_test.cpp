#include "card_fixture.h"
#include "registers.h"

#include <numeric>

namespace {
std::uint8_t pattern(int r)
{
    return static_cast<std::uint8_t>(r * 7 + 3);
}
} // namespace

TEST_F(CardTest, EveryRegisterExportNeedsACardAndAPointer)
{
    std::uint8_t byte = 0;
    std::uint8_t block[24] = {};
    std::uint16_t word = 0;
    std::int32_t address = 0;
    const struct {
        const char *name;
        int result;
    } withoutCard[] = {
        {"ZUL_setDigitizerRegister", ZUL_setDigitizerRegister(1, 1)},
        {"ZUL_getDigitizerRegister", ZUL_getDigitizerRegister(1, &byte)},
        {"ZUL_setDigitizerRegisters", ZUL_setDigitizerRegisters(block)},
        {"ZUL_getDigitizerRegisters", ZUL_getDigitizerRegisters(block)},
        {"ZUL_setControlStatus", ZUL_setControlStatus(0)},
        {"ZUL_getControlStatus", ZUL_getControlStatus(&byte)},
        {"ZUL_getData", ZUL_getData(&word)},
        {"ZUL_ioWindowAddress", ZUL_windowAddress(&address)},
    };
    for (const auto &call : withoutCard)
        EXPECT_EQ(call.result, ZUL_ERR_NOT_INITIALIZED) << call.name;

    open();
    const struct {
        const char *name;
        int (*call)();
    } nullPointers[] = {
        {"ZUL_getDigitizerRegister", [] { return ZUL_getDigitizerRegister(1, nullptr); }},
        {"ZUL_setDigitizerRegisters", [] { return ZUL_setDigitizerRegisters(nullptr); }},
        {"ZUL_getDigitizerRegisters", [] { return ZUL_getDigitizerRegisters(nullptr); }},
        {"ZUL_getControlStatus", [] { return ZUL_getControlStatus(nullptr); }},
        {"ZUL_getData", [] { return ZUL_getData(nullptr); }},
        {"ZUL_ioWindowAddress", [] { return ZUL_windowAddress(nullptr); }},
    };
    for (const auto &n : nullPointers) {
        EXPECT_EQ(n.call(), ZUL_ERR_BAD_POINTER) << n.name;
        EXPECT_EQ(lastError(), n.name);
    }
    EXPECT_TRUE(registerWrites().empty());
}

TEST_F(CardTest, SingleRegistersUseTheLowByteOfNumberAndValue)
{
    open();
    ASSERT_EQ(ZUL_setDigitizerRegister(300, 0x1A5), ZUL_OK);
    EXPECT_EQ(registerWrites(), (Writes{{44, {0xA5}}}));
    EXPECT_EQ(card->reg(44), 0xA5);

    card->setReg(77, 0x3C);
    std::uint8_t value = 0;
    ASSERT_EQ(ZUL_getDigitizerRegister(77 + 256, &value), ZUL_OK);
    EXPECT_EQ(value, 0x3C);

    card->options().failWrite = 1;
    EXPECT_EQ(ZUL_setDigitizerRegister(44, 1), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_setDigitizerRegister");
    card->options().shortWrite = 1;
    EXPECT_EQ(ZUL_setDigitizerRegister(44, 2), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(card->reg(44), 0xA5);
    card->options().failRead = 1;
    EXPECT_EQ(ZUL_getDigitizerRegister(77, &value), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_getDigitizerRegister");
}

TEST_F(CardTest, RegisterBlockSkipsSixteenSeventeenAndTwentyOneAndNeverWritesTwentyThree)
{
    card->options().standard = 0; // register 0 then reads back as written
    for (int r = 0; r <= 26; ++r)
        card->setReg(r, pattern(r));
    open();
    card->clearTransfers();

    std::uint8_t block[24];
    ASSERT_EQ(ZUL_getDigitizerRegisters(block), ZUL_OK);
    const Bytes expected = {static_cast<std::uint8_t>(pattern(0) & 0x6F), pattern(1), pattern(2), pattern(3), pattern(4), pattern(5),
                            pattern(6), pattern(7), pattern(8), pattern(9), pattern(10), pattern(11),
                            pattern(12), pattern(13), pattern(14), pattern(15), pattern(18), pattern(19),
                            pattern(20), pattern(22), pattern(23), pattern(24), pattern(25), pattern(26)};
    EXPECT_EQ(Bytes(block, block + 24), expected);
    // One request for registers 0..26.
    ASSERT_EQ(card->transfers().size(), 1u);
    EXPECT_EQ(card->transfers().back().first, 0);
    EXPECT_EQ(card->transfers().back().bytes.size(), 27u);

    std::uint8_t fresh[24];
    std::iota(fresh, fresh + 24, std::uint8_t{200});
    card->clearTransfers();
    ASSERT_EQ(ZUL_setDigitizerRegisters(fresh), ZUL_OK);
    EXPECT_EQ(registerWrites(), (Writes{{0, Bytes(fresh, fresh + 16)},
                                        {18, {216, 217, 218}},
                                        {22, {219}},
                                        {24, {221, 222, 223}}}));
    EXPECT_EQ(card->reg(23), pattern(23));
    EXPECT_EQ(card->reg(16), pattern(16));
    EXPECT_EQ(card->reg(17), pattern(17));
    EXPECT_EQ(card->reg(21), pattern(21));
}

TEST_F(CardTest, RegisterBlockStopsAtTheFirstShortOrFailedTransfer)
{
    open();
    std::uint8_t block[24];
    std::iota(block, block + 24, std::uint8_t{1});

    card->options().failWrite = 2;
    EXPECT_EQ(ZUL_setDigitizerRegisters(block), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_setDigitizerRegisters");
    EXPECT_EQ(card->reg(15), 16);
    EXPECT_EQ(card->reg(18), 0);

    card->clearTransfers();
    card->options().shortWrite = 3;
    EXPECT_EQ(ZUL_setDigitizerRegisters(block), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(registerWrites().size(), 3u); // the short one wrote nothing of its one byte
    EXPECT_EQ(card->reg(24), 0);

    std::uint8_t untouched[24];
    std::fill(untouched, untouched + 24, std::uint8_t{0xEE});
    card->options().failRead = 1;
    EXPECT_EQ(ZUL_getDigitizerRegisters(untouched), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_getDigitizerRegisters");
    EXPECT_EQ(Bytes(untouched, untouched + 24), Bytes(24, 0xEE));
}

TEST_F(CardTest, ControlStatusAndDataPort)
{
    card->options().window = 0x61000000;
    card->memory()[0] = 0xBEEF;
    card->memory()[card->lineStride()] = 0xCAFE;
    open();

    std::int32_t address = 0;
    ASSERT_EQ(ZUL_windowAddress(&address), ZUL_OK);
    EXPECT_EQ(address, 0x61000000);

    std::uint16_t word = 0;
    ASSERT_EQ(ZUL_getData(&word), ZUL_OK);
    EXPECT_EQ(word, 0xBEEF);
    // 64 then 0 moves the line pointer on; the data port follows it.
    ASSERT_EQ(ZUL_setControlStatus(0x140), ZUL_OK);
    ASSERT_EQ(ZUL_setControlStatus(0), ZUL_OK);
    EXPECT_EQ(card->linePointer(), 1);
    ASSERT_EQ(ZUL_getData(&word), ZUL_OK);
    EXPECT_EQ(word, 0xCAFE);

    ASSERT_EQ(ZUL_setControlStatus(0x28), ZUL_OK);
    std::uint8_t status = 0;
    ASSERT_EQ(ZUL_getControlStatus(&status), ZUL_OK);
    EXPECT_EQ(status, card->peekStatus());
    EXPECT_EQ(status & 0x28, 0x28);

    // A transfer that fails is reported, not passed off as a status byte.
    card->options().statusFails = true;
    EXPECT_EQ(ZUL_getControlStatus(&status), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(status, 18);
    EXPECT_EQ(lastError(), "ZUL_getControlStatus");
    card->options().controlFails = true;
    EXPECT_EQ(ZUL_setControlStatus(0x80), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_setControlStatus");
    EXPECT_EQ(card->control(), 0x28);
}

TEST_F(CardTest, TransfersReportCountsAndChargeFailuresToTheCurrentOperation)
{
    open();
    const std::uint8_t bytes[3] = {1, 2, 3};
    std::uint8_t back[3] = {};
    EXPECT_EQ(zul::writeRegisters(40, bytes, 3), 3);
    EXPECT_EQ(zul::readRegisters(40, back, 3), 3);
    EXPECT_EQ(Bytes(back, back + 3), Bytes(bytes, bytes + 3));
    card->options().failWrite = 1;
    EXPECT_EQ(zul::writeRegisters(40, bytes, 3), -1);
    card->options().shortWrite = 1;
    EXPECT_EQ(zul::writeRegisters(40, bytes, 3), -2);
    card->options().failRead = 1;
    EXPECT_EQ(zul::readRegisters(40, back, 3), -1);
    // The register transfers themselves leave the trail alone ...
    EXPECT_EQ(lastError(), "");

    // ... the control write and status read charge the operation that is
    // running, though it may go on and succeed.
    zul::entering("ZUL_startSnap");
    card->options().controlFails = true;
    EXPECT_EQ(zul::writeControl(0x80), 18);
    EXPECT_EQ(lastError(), "ZUL_startSnap");
    zul::entering("ZUL_finishSnap");
    card->options().statusFails = true;
    EXPECT_EQ(zul::readStatus(), 18);
    EXPECT_EQ(lastError(), "ZUL_finishSnap");
    card->options().controlFails = false;
    card->options().statusFails = false;
    EXPECT_EQ(zul::writeControl(0x08), 0);
    EXPECT_EQ(zul::readStatus() & 0x28, 0x08);
}

TEST_F(CardTest, WaitUnitsPacesOnTheTickByTheCardsStandard)
{
    open();
    ASSERT_EQ(ZUL_setControlStatus(0x2C), ZUL_OK); // mode bits 3 and 5, and a stray bit 2

    const long writes = card->controlWrites();
    const long reads = card->statusReads();
    zul::waitUnits(0);
    EXPECT_EQ(card->controlWrites(), writes);
    EXPECT_EQ(card->statusReads(), reads + 1);

    card->clearTransfers();
    zul::waitUnits(2);
    EXPECT_EQ(card->controlWrites(), writes + 2 * 97);
    const Writes modeOnly(2 * 97, {153, {0x28}});
    EXPECT_EQ(registerWrites(), modeOnly);

    record()->standard = 1;
    zul::waitUnits(1);
    EXPECT_EQ(card->controlWrites(), writes + 2 * 97 + 118);

    // A card that stops ticking ends the whole wait after 500 reads.
    card->options().noTick = true;
    const long before = card->statusReads();
    const long writesBefore = card->controlWrites();
    zul::waitUnits(3);
    EXPECT_EQ(card->controlWrites(), writesBefore + 1);
    EXPECT_EQ(card->statusReads(), before + 1 + 500);

    // So does one whose status cannot be read; its mode is taken from the
    // stand-in status 18, which has neither mode bit.
    card->options().noTick = false;
    card->options().statusFails = true;
    card->clearTransfers();
    zul::waitUnits(3);
    EXPECT_EQ(registerWrites(), (Writes{{153, {0x00}}}));
}
