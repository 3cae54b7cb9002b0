#include "profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using zul::ProfileText;

namespace {

// A file as people edit it: comments, blank lines, odd spacing and case,
// quotes, a repeated key and a repeated section.
const std::string kHandEdited = "; capture settings, edited by hand\r\n"
                                "\r\n"
                                "  [ default ]  \r\n"
                                "SignalType = 2\r\n"
                                "hue=  '5'  \r\n"
                                "Contrast=\"-7\"\r\n"
                                "Note=a;b ; c\r\n"
                                "just a line\r\n"
                                "signaltype=9\r\n"
                                "Empty=\r\n"
                                "Quoted=\"\"\r\n"
                                "Odd=\"x'\r\n"
                                "[Other]\r\n"
                                "Brightness=4\r\n"
                                "[DEFAULT]\r\n"
                                "Brightness=99\r\n";

std::string withLineFeedsOnly(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

} // namespace

TEST(ProfileText, ReadsValuesByThePrivateProfileRules)
{
    struct Case {
        const char *section;
        const char *key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"DEFAULT", "signaltype", "2"},   // names in any case and spacing; the first key wins
        {"Default", "HUE", "5"},          // blanks, then one pair of quotes, come off
        {"default", "Contrast", "-7"},
        {"DEFAULT", "Note", "a;b ; c"},   // a semicolon belongs to the value
        {"DEFAULT", "Empty", ""},
        {"DEFAULT", "Quoted", ""},
        {"DEFAULT", "Odd", "\"x'"},       // quotes that do not match stay
        {"DEFAULT", "Brightness", {}},    // only the first section of a name counts
        {"other", "brightness", "4"},
        {"DEFAULT", "just a line", {}},
        {"Missing", "SignalType", {}},
    };
    for (const std::string &bytes : {kHandEdited, withLineFeedsOnly(kHandEdited)}) {
        const ProfileText text(bytes);
        for (const Case &c : cases)
            EXPECT_EQ(text.value(c.section, c.key), c.value) << c.section << "/" << c.key;
        EXPECT_EQ(text.bytes(), bytes);
    }
    // A key before any section belongs to none; a marked UTF-8 file reads.
    EXPECT_EQ(ProfileText("Gamma=2\r\n[a]\r\n").value("a", "Gamma"), std::nullopt);
    EXPECT_EQ(ProfileText("\xEF\xBB\xBF[a]\r\nx=1").value("A", "X"), "1");
    EXPECT_EQ(ProfileText("").value("a", "x"), std::nullopt);
}

TEST(ProfileText, WritesInPlaceOrAtTheEndOfTheSectionKeepingEveryOtherLine)
{
    struct Case {
        const char *before;
        const char *section;
        const char *key;
        const char *value;
        const char *after;
    };
    const Case cases[] = {
        // In place: the key's spelling, spacing and line end stay.
        {"[a]\nKey = 1 ; old\nx=2\n", "A", "key", "7", "[a]\nKey = 7\nx=2\n"},
        {"[a]\r\nk=\"q\"\r\n", "a", "K", "0.50", "[a]\r\nk=0.50\r\n"},
        // A missing key goes after the section's last key.
        {"[a]\r\nx=1\r\n\r\n; b follows\r\n[b]\r\ny=2", "a", "z", "3",
         "[a]\r\nx=1\r\nz=3\r\n\r\n; b follows\r\n[b]\r\ny=2"},
        {"[a]\r\n; note\r\n", "a", "k", "v", "[a]\r\nk=v\r\n; note\r\n"},
        {"[a]\r\nx=1", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
        // A missing section goes at the end.
        {"x=0\n[a]\nx=1", "b", "k", "v", "x=0\n[a]\nx=1\r\n[b]\r\nk=v\r\n"},
        {"", "DEFAULT", "Gamma", "1.00", "[DEFAULT]\r\nGamma=1.00\r\n"},
        {"\xEF\xBB\xBF[a]\r\nx=1\r\n", "A", "X", "2", "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        // Only the first of two equal sections, and its first key, change.
        {"[a]\nx=1\nx=2\n[A]\nx=3\n", "a", "x", "9", "[a]\nx=9\nx=2\n[A]\nx=3\n"},
    };
    for (const Case &c : cases) {
        ProfileText text(c.before);
        EXPECT_TRUE(text.set(c.section, c.key, c.value)) << c.before;
        EXPECT_EQ(text.bytes(), c.after) << c.before;
        EXPECT_EQ(ProfileText(text.bytes()).value(c.section, c.key), c.value) << c.before;
    }
}

TEST(ProfileText, RefusesWhatWouldNotReadBackAndChangesNothing)
{
    const std::string before = "[a]\r\nx=1\r\n";
    const char *const refused[][3] = {
        {"a", "x", "1\r\n[a]"}, {"a", "x=y", "1"}, {"a", "", "1"}, {"a", "[b]", "1"},
        {"a]b", "x", "1"},     {"a\nb", "x", "1"}, {"a", "x\n", "1"},
    };
    for (const auto &r : refused) {
        ProfileText text(before);
        EXPECT_FALSE(text.set(r[0], r[1], r[2])) << r[0] << "/" << r[1] << "/" << r[2];
        EXPECT_EQ(text.bytes(), before);
    }
}
