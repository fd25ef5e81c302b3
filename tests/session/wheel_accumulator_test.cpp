#include <gtest/gtest.h>

#include <vector>

#include "session/WheelAccumulator.h"

using strumox::session::WheelAccumulator;

namespace {

// ---- Lines per notch from the platform ----

TEST(WheelLinesPerNotch, ValuesOutsideZeroToHundredBecomeThree)
{
    struct Row {
        int lines;
        int expected;
    };
    const Row rows[] = {{-1, 3}, {0, 0}, {1, 1}, {3, 3}, {100, 100}, {101, 3}, {-1000, 3}, {65535, 3}};
    for (const auto& r : rows)
        EXPECT_EQ(WheelAccumulator::sanitizeLinesPerNotch(r.lines), r.expected) << "lines " << r.lines;
}

TEST(WheelLinesPerNotch, OneNotchScrollsTheSanitizedLineCount)
{
    struct Row {
        int lines;
        int scrolled;
    };
    const Row rows[] = {{3, 3}, {1, 1}, {0, 0}, {100, 100}, {250, 3}, {-5, 3}};
    for (const auto& r : rows) {
        WheelAccumulator acc;
        EXPECT_EQ(acc.feed(120, r.lines), r.scrolled) << "lines " << r.lines;
    }
}

// ---- Turning deltas into lines ----

TEST(WheelFeed, SequencesOfDeltas)
{
    struct Row {
        const char* what;
        std::vector<int> deltas;
        std::vector<int> lines;  // after each delta, 3 lines per notch
        int pending;
    };
    const Row rows[] = {
        {"one notch up", {120}, {3}, 0},
        {"one notch down", {-120}, {-3}, 0},
        {"three notches at once", {360}, {9}, 0},
        {"fine steps of 40", {40, 40, 40}, {0, 0, 3}, 0},
        {"fine steps down", {-40, -40, -40, -40}, {0, 0, -3, 0}, -40},
        {"remainder carries to the next turn", {100, 50}, {0, 3}, 30},
        {"two and a bit notches down", {-250}, {-6}, -10},
        {"back and forth cancel", {100, -100}, {0, 0}, 0},
        {"reverse before a notch", {100, -40}, {0, 0}, 60},
        {"reverse past a notch", {100, -250}, {0, -3}, -30},
        {"just short of a notch", {119}, {0}, 119},
    };
    for (const auto& r : rows) {
        WheelAccumulator acc;
        for (size_t i = 0; i < r.deltas.size(); ++i)
            EXPECT_EQ(acc.feed(r.deltas[i], 3), r.lines[i]) << r.what << ", delta " << i;
        EXPECT_EQ(acc.pending(), r.pending) << r.what;
    }
}

TEST(WheelFeed, NotchCountAgreesWithOneNotchAtATime)
{
    // Scrolling by whole notches must give the same lines as a loop that takes one notch
    // (120) at a time while the accumulated delta is at least a notch.
    const int deltas[] = {7, 120, -33, 240, -500, 119, 1, -1, 45, 45, 45, -360, 999};
    WheelAccumulator acc;
    int pending = 0;
    for (int d : deltas) {
        pending += d;
        int expected = 0;
        while (pending <= -120 || pending >= 120) {
            if (pending < 0) {
                expected -= 2;
                pending += 120;
            } else {
                expected += 2;
                pending -= 120;
            }
        }
        EXPECT_EQ(acc.feed(d, 2), expected) << "delta " << d;
        EXPECT_EQ(acc.pending(), pending) << "delta " << d;
    }
}

}  // namespace
