#include "card_fixture.h"

#include <cmath>
#include <limits>

namespace {

int contrastRegister(const zul::vcard::VirtualCard &card)
{
    return ((card.reg(11) & 0x04) << 6) | card.reg(12);
}

} // namespace

TEST_F(CardTest, ContrastNineBitsAcrossTwoRegisters)
{
    card->setReg(11, 0xFB); // every bit but the contrast bit
    open();
    const struct {
        int value, gain;
    } cases[] = {{0, 216}, {127, 511}, {-128, 0}, {1, 218}, {-1, 214}, {64, 364}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(ZUL_setContrast(c.value), ZUL_OK);
        EXPECT_EQ(contrastRegister(*card), c.gain);
        EXPECT_EQ(card->reg(11) | 0x04, 0xFF);
        std::int8_t back = 0;
        ASSERT_EQ(ZUL_getContrast(&back), ZUL_OK);
        EXPECT_EQ(back, c.value);
    }
    // One read of register 11, one two-byte write of 11-12.
    card->clearTransfers();
    ASSERT_EQ(ZUL_setContrast(127), ZUL_OK);
    EXPECT_EQ(registerWrites(), (Writes{{11, {0xFF, 0xFF}}}));
    // The value is the low byte as a signed number.
    ASSERT_EQ(ZUL_setContrast(0x100), ZUL_OK);
    EXPECT_EQ(contrastRegister(*card), 216);
}

TEST_F(CardTest, SaturationTwoComponents)
{
    card->setReg(11, 0xFC);
    open();
    const struct {
        int value, u, v;
    } cases[] = {{0, 254, 180}, {127, 511, 362}, {-128, 0, 0}, {100, 456, 323}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        card->clearTransfers();
        ASSERT_EQ(ZUL_setSaturation(c.value), ZUL_OK);
        const std::uint8_t control = static_cast<std::uint8_t>(0xFC | (c.u >> 8) << 1 | (c.v >> 8));
        EXPECT_EQ(registerWrites(), (Writes{{11, {control}},
                                            {13, {static_cast<std::uint8_t>(c.u), static_cast<std::uint8_t>(c.v)}}}));
        std::int8_t back = 0;
        ASSERT_EQ(ZUL_getSaturation(&back), ZUL_OK);
        EXPECT_EQ(back, c.value);
    }
}

TEST_F(CardTest, EveryContrastAndSaturationReadsBackAsSet)
{
    open();
    for (int value = -128; value <= 127; ++value) {
        std::int8_t contrast = 0, saturation = 0;
        ASSERT_EQ(ZUL_setContrast(value), ZUL_OK);
        ASSERT_EQ(ZUL_setSaturation(value), ZUL_OK);
        ASSERT_EQ(ZUL_getContrast(&contrast), ZUL_OK);
        ASSERT_EQ(ZUL_getSaturation(&saturation), ZUL_OK);
        EXPECT_EQ(contrast, value);
        EXPECT_EQ(saturation, value);
    }
}

TEST_F(CardTest, BrightnessAndHueAreTwosComplementBytes)
{
    open();
    ASSERT_EQ(ZUL_setBrightness(-1), ZUL_OK);
    ASSERT_EQ(ZUL_setHue(0x180), ZUL_OK);
    EXPECT_EQ(card->reg(10), 0xFF);
    EXPECT_EQ(card->reg(15), 0x80);
    std::uint8_t brightness = 0, hue = 0;
    ASSERT_EQ(ZUL_getBrightness(&brightness), ZUL_OK);
    ASSERT_EQ(ZUL_getHue(&hue), ZUL_OK);
    EXPECT_EQ(brightness, 0xFF);
    EXPECT_EQ(hue, 0x80);
}

TEST_F(CardTest, PictureControlFailuresAreChargedToTheirOwnNames)
{
    std::uint8_t byte = 0;
    std::int8_t value = 0;
    const struct {
        const char *name;
        int (*call)();
        int readsBeforeWrite;
    } setters[] = {
        {"ZUL_setBrightness", [] { return ZUL_setBrightness(1); }, 0},
        {"ZUL_setHue", [] { return ZUL_setHue(1); }, 0},
        {"ZUL_setContrast", [] { return ZUL_setContrast(1); }, 1},
        {"ZUL_setSaturation", [] { return ZUL_setSaturation(1); }, 1},
        {"ZUL_setGamma", [] { return ZUL_setGamma(1.0f); }, -1},
    };
    for (const auto &s : setters)
        EXPECT_EQ(s.call(), ZUL_ERR_NOT_INITIALIZED) << s.name;
    EXPECT_EQ(ZUL_getBrightness(&byte), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_getContrast(&value), ZUL_ERR_NOT_INITIALIZED);

    open();
    for (const auto &s : setters) {
        if (s.readsBeforeWrite < 0)
            continue;
        SCOPED_TRACE(s.name);
        card->options().failWrite = 1;
        EXPECT_EQ(s.call(), ZUL_ERR_LOST_CONTACT);
        EXPECT_EQ(lastError(), s.name);
        card->options().failWrite = 0;
        if (s.readsBeforeWrite) {
            card->options().failRead = 1;
            zul::trail().lastError = "";
            EXPECT_EQ(s.call(), ZUL_ERR_LOST_CONTACT);
            EXPECT_EQ(lastError(), s.name);
            card->options().failRead = 0;
        }
    }
    // The second write of the saturation fails after the first went in.
    card->options().shortWrite = 2;
    EXPECT_EQ(ZUL_setSaturation(127), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(card->reg(11) & 0x03, 0x03);

    const struct {
        const char *name;
        int (*call)();
    } getters[] = {
        {"ZUL_getBrightness", [] { return ZUL_getBrightness(nullptr); }},
        {"ZUL_getHue", [] { return ZUL_getHue(nullptr); }},
        {"ZUL_getContrast", [] { return ZUL_getContrast(nullptr); }},
        {"ZUL_getSaturation", [] { return ZUL_getSaturation(nullptr); }},
    };
    for (const auto &g : getters) {
        EXPECT_EQ(g.call(), ZUL_ERR_BAD_POINTER) << g.name;
        EXPECT_EQ(lastError(), g.name);
    }
    // The saturation reads register 11 and 13 apart; either may fail.
    for (int read = 1; read <= 2; ++read) {
        card->options().failRead = read;
        EXPECT_EQ(ZUL_getSaturation(&value), ZUL_ERR_LOST_CONTACT);
    }
    card->options().failRead = 1;
    EXPECT_EQ(ZUL_getHue(&byte), ZUL_ERR_LOST_CONTACT);
    EXPECT_EQ(lastError(), "ZUL_getHue");
}

TEST_F(CardTest, GammaRebuildsTheTablesAndRefusesWhatIsNoCurve)
{
    open();
    const auto &tables = zul::connection().tables;
    ASSERT_EQ(ZUL_setGamma(0.5f), ZUL_OK);
    EXPECT_EQ(tables.GT[128], 64);
    EXPECT_EQ(tables.CG[280 + 128], 64);
    EXPECT_EQ(tables.G8[128], 64);

    for (float refused : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()}) {
        SCOPED_TRACE(refused);
        zul::trail().lastError = "";
        EXPECT_EQ(ZUL_setGamma(refused), ZUL_ERR_RANGE);
        EXPECT_EQ(lastError(), "ZUL_setGamma");
        EXPECT_EQ(tables.GT[128], 64);
    }

    // A negative gamma inverts the curve; entries beyond 255 keep their low
    // byte: 255 * 255 / v + 0.5 is 65025 for v = 1 and 508 for v = 128.
    ASSERT_EQ(ZUL_setGamma(-1.0f), ZUL_OK);
    EXPECT_EQ(tables.GT[0], 0);
    EXPECT_EQ(tables.GT[1], 65025 & 0xFF);
    EXPECT_EQ(tables.GT[128], 508 & 0xFF);
    EXPECT_EQ(tables.GT[255], 255);
    // An infinite gamma flattens everything above black to white.
    ASSERT_EQ(ZUL_setGamma(std::numeric_limits<float>::infinity()), ZUL_OK);
    EXPECT_EQ(tables.GT[1], 255);

    // A new connection starts from gamma 1.0 again.
    ASSERT_EQ(ZUL_closedown(1), ZUL_OK);
    open();
    EXPECT_EQ(tables.GT[128], 128);
    EXPECT_EQ(tables.gamma, 1.0f);
}
