#include <gtest/gtest.h>

#include "playback/PlayPageSequencer.h"
#include "playback/Tempo.h"

using namespace strumox::playback;

TEST(Tempo, TypedTextIsHeldToTheRangeAndEmptyOrJunkGivesTheDefault)
{
    const struct {
        const char* text;
        int bpm;
    } cases[] = {{"5", 10}, {"10", 10}, {"011", 11}, {"250", 250}, {"300", 250}, {"999", 250},
                 {"1234567", 250}, {"", 100}, {"1x", 100}, {"-20", 100}, {" 90", 100}};
    for (const auto& c : cases)
        EXPECT_EQ(holdBpm(c.text), c.bpm) << '"' << c.text << '"';
    EXPECT_EQ(holdBpm("", 120), 120);
}

TEST(Tempo, EveryBoxValueSurvivesTheTripToMicrosecondsAndBack)
{
    // The dialog shows round(60000000 / tempo): it must give back what the box held.
    for (int bpm = kMinBpm; bpm <= kMaxBpm; ++bpm) {
        const double back = 60000000.0 / playTempo(bpm);
        EXPECT_LT(std::abs(back - bpm), 0.5) << bpm;
    }
}
