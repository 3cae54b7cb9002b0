#include "fake_card_library.h"
#include "platform/application_end.h"
#include "scripted_operator.h"
#include "workbench/zul_errors.h"

#include <gtest/gtest.h>

TEST(ZulErrorText, ApplicationWordingForEveryCode)
{
    const char *const expected[] = {"No error",
                                    "ZUL toolkit is already in use",
                                    "No ZUL detected.",
                                    "No ZUL card driver detected",
                                    "The installed ZUL card is old-style",
                                    "Toolkit is not initialized",
                                    "Video digitizer in not configured",
                                    "Attempt to start snap before snap prepared",
                                    "Attempt to finish snap before snap started",
                                    "Attempt to read image before snap finished",
                                    "Attempt to read image before startReadout",
                                    "No video signal detected",
                                    "Attempt to read monochrome image as colour",
                                    "Attempt to read outsize snapped image",
                                    "Parameter to function is out of range",
                                    "Image width is out of range",
                                    "Image height is out of range",
                                    "Bad pointer (possibly NULL)",
                                    "Lost contact with digitizer (no acknowledge)",
                                    "Out of memory",
                                    "An error while reading or writing to file"};
    for (int code = 0; code <= 20; ++code)
        EXPECT_EQ(ZulErrorText(static_cast<int16_t>(code)), QLatin1String(expected[code])) << code;
    EXPECT_EQ(ZulErrorText(21), "Unknown error");
    EXPECT_EQ(ZulErrorText(-1), "Unknown error");
}

TEST(CheckZulError, ZeroDoesNothing)
{
    FakeCardLibrary card;
    ScriptedOperator op;
    int16_t code = 0;
    CheckZulError(code, card, op);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(card.calls.isEmpty());
}

TEST(CheckZulError, NonZeroTellsClosesDownAndEndsTheProgram)
{
    FakeCardLibrary card;
    card.results["closedown(1)"] = 5;
    ScriptedOperator op;
    int ended = -1;
    const auto previous = setApplicationEndHandler([&](int exitCode) { ended = exitCode; });
    int16_t code = 2;
    CheckZulError(code, card, op);
    setApplicationEndHandler(previous);

    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, "\nNo ZUL detected.");
    EXPECT_EQ(op.messages[0].title, "Plus test");
    EXPECT_EQ(op.messages[0].buttons, Operator::Buttons::Ok);
    EXPECT_EQ(op.messages[0].icon, Operator::Icon::None);
    EXPECT_EQ(card.calls, QStringList({"closedown(1)"}));
    EXPECT_EQ(code, 5);
    EXPECT_NE(ended, -1);
}
