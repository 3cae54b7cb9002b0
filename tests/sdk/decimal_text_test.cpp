#include "decimal_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DecimalText, ReadsTheLeadingNumberLikeTheCLibraryWithoutOverflowing)
{
    const std::pair<const char *, std::int32_t> integers[] = {
        {"42", 42}, {"  -7x", -7}, {"+3", 3}, {"abc", 0}, {"", 0}, {"1#", 1}, {"0x10", 0}, {"- 5", 0},
        {"2147483647", 2147483647}, {"99999999999", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1}, {"65541", 65541},
    };
    for (const auto &[text, value] : integers)
        EXPECT_EQ(zul::leadingInteger(text), value) << text;

    const std::pair<const char *, float> decimals[] = {
        {"1#", 1.0f},   {"0.5", 0.5f}, {".5", 0.5f},   {"5.", 5.0f},   {" +2.25", 2.25f}, {"-1.5e2x", -150.0f},
        {"1e", 1.0f},   {"1e+", 1.0f}, {"1,5", 1.0f},  {".", 0.0f},    {"nan", 0.0f},     {"inf", 0.0f},
        {"1e999", 0.0f}, {"", 0.0f},
    };
    for (const auto &[text, value] : decimals)
        EXPECT_EQ(zul::leadingFloat(text), value) << text;
    EXPECT_EQ(zul::leadingFloat("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(zul::leadingFloat("-1e39"), -std::numeric_limits<float>::infinity());
}

TEST(DecimalText, WritesTwoDecimalsAsPrintfDoes)
{
    const std::pair<float, const char *> cases[] = {
        {0.5f, "0.50"}, {1.0f, "1.00"}, {2.345f, "2.35"}, {0.125f, "0.12"}, {-0.5f, "-0.50"}, {1234.5678f, "1234.57"},
    };
    for (const auto &[value, text] : cases) {
        EXPECT_EQ(zul::twoDecimals(value), text) << value;
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.2f", static_cast<double>(value));
        EXPECT_EQ(zul::twoDecimals(value), printed) << value;
    }
}
