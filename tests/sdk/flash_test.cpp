#include "card_fixture.h"

namespace {

std::vector<int> &phasesSeen()
{
    static std::vector<int> phases;
    return phases;
}

void recordPhase(int phase)
{
    phasesSeen().push_back(phase);
}

} // namespace

class FlashTest : public CardTest {
protected:
    void prepared()
    {
        openConfigured();
        ZulVideoWindow w = videoWindow(0, 100, 100, 0, 100, 100);
        ASSERT_EQ(ZUL_prepareSnap(&w), ZUL_OK);
        phasesSeen().clear();
    }
};

TEST_F(FlashTest, ModeChoosesThePhasesTheRoutineIsCalledIn)
{
    prepared();
    const std::vector<int> expected[] = {{}, {1}, {2}, {1, 2}};
    for (int mode = 1; mode <= 3; ++mode) {
        phasesSeen().clear();
        ASSERT_EQ(ZUL_enableFlash(mode, recordPhase, 2), ZUL_OK);
        const int before = card->acquisitions();
        ASSERT_EQ(ZUL_flashSnap(), ZUL_OK);
        EXPECT_EQ(phasesSeen(), expected[mode]) << mode;
        EXPECT_EQ(card->acquisitions(), before + 1);
        EXPECT_EQ(record()->snapFinished, 1);
    }
    // Without a routine it is a plain snap.
    ASSERT_EQ(ZUL_disableFlash(), ZUL_OK);
    phasesSeen().clear();
    ASSERT_EQ(ZUL_flashSnap(), ZUL_OK);
    EXPECT_TRUE(phasesSeen().empty());
    EXPECT_TRUE(card->triggerWrites().empty());
}

TEST_F(FlashTest, BuiltInRoutineFiresThroughTheTriggerByte)
{
    prepared();
    ASSERT_EQ(ZUL_enableFlash(3, nullptr, 0), ZUL_OK);
    ASSERT_EQ(ZUL_flashSnap(), ZUL_OK);
    EXPECT_EQ(card->triggerWrites(), (Bytes{1, 0, 3, 0}));
    ASSERT_EQ(ZUL_enableFlash(2, nullptr, 0), ZUL_OK);
    ASSERT_EQ(ZUL_flashSnap(), ZUL_OK);
    EXPECT_EQ(card->triggerWrites(), (Bytes{1, 0, 3, 0, 3, 0}));
}

TEST_F(FlashTest, DelayLimitDependsOnTheStandard)
{
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 0), ZUL_ERR_NOT_INITIALIZED);
    EXPECT_EQ(ZUL_disableFlash(), ZUL_ERR_NOT_INITIALIZED);
    openConfigured(); // 625 lines
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 17), ZUL_OK);
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 20), ZUL_OK);
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 21), ZUL_ERR_RANGE);
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 0x10011), ZUL_OK); // low 16 bits: 17
    EXPECT_EQ(ZUL_enableFlash(0, nullptr, 1), ZUL_ERR_RANGE);
    EXPECT_EQ(ZUL_enableFlash(4, nullptr, 1), ZUL_ERR_RANGE);
    EXPECT_EQ(lastError(), "ZUL_enableFlash");

    card->options().standard = 525;
    ZulConfig config{};
    ASSERT_EQ(ZUL_videoConfig(0, 0, &config), ZUL_OK);
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 17), ZUL_ERR_RANGE);
    EXPECT_EQ(ZUL_enableFlash(1, nullptr, 16), ZUL_OK);
}

TEST_F(FlashTest, TriggeredSnapWaitsForTheTriggerOrItsTime)
{
    prepared();
    card->options().trigger = true;
    const int before = card->acquisitions();
    ASSERT_EQ(ZUL_extTrigSnap(60000), ZUL_OK); // the trigger is already there
    EXPECT_EQ(card->acquisitions(), before + 1);
    EXPECT_EQ(record()->snapFinished, 1);
    // No trigger and no time to wait: the snap goes ahead untriggered.
    card->options().trigger = false;
    ASSERT_EQ(ZUL_extTrigSnap(0x10000), ZUL_OK); // low 16 bits: 0 ms
    EXPECT_EQ(card->acquisitions(), before + 2);
}
