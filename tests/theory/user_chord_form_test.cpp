#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>

#include "theory/ChordFormulas.h"
#include "theory/UserChordForm.h"

using namespace strumox::theory;

// Random toggles, mostly real changes and now and then a box re-set to the state it already
// has, against the rule in its plainest form: a set of boxes that refuses a seventh.
TEST(UserChordForm, CountTextAndIntervalsFollowTheBoxesThroughRandomToggles)
{
    // How a player reads each degree, written out apart from the form's own tables.
    const std::map<std::string, int> semitones{
        {"1", 0},  {"b2", 1},  {"2", 2},   {"b3", 3},  {"3", 4},   {"4", 5},    {"b5", 6},
        {"5", 7},  {"#5", 8},  {"6", 9},   {"b7", 10}, {"7", 11},  {"b9", 13},  {"9", 14},
        {"#9", 15}, {"11", 17}, {"#11", 18}, {"b13", 20}, {"13", 21}};
    std::mt19937 rng(5150);
    for (int run = 0; run < 200; ++run) {
        UserChordForm form;
        std::set<int> chosen;
        for (int step = 0; step < 60; ++step) {
            const int box = static_cast<int>(rng() % UserChordForm::kBoxCount);
            const bool wanted = rng() % 5 == 0 ? form.ticked(box) : !form.ticked(box);
            if (box != 0 && !wanted)
                chosen.erase(box);
            else if (box != 0 && chosen.size() < UserChordForm::kMaxChosen)
                chosen.insert(box);
            ASSERT_EQ(form.setTicked(box, wanted), box == 0 || chosen.count(box) == 1);

            ASSERT_EQ(form.count(), static_cast<int>(chosen.size()));
            for (int b = 0; b < UserChordForm::kBoxCount; ++b)
                ASSERT_EQ(form.ticked(b), b == 0 || chosen.count(b) == 1) << "box " << b;
            std::string text = "1";
            for (int b : chosen)
                text += " " + UserChordForm::caption(b);
            ASSERT_EQ(form.formulaText(), text);

            // Every word of the text names the interval stored in its place, 255 after the last.
            const IntervalList list = form.intervals();
            std::istringstream words(text);
            std::size_t slot = 0;
            for (std::string word; words >> word; ++slot)
                ASSERT_EQ(list.at(slot), semitones.at(word)) << text;
            for (; slot < list.size(); ++slot)
                ASSERT_EQ(list[slot], kNoInterval);
            ASSERT_EQ(form.hasIntervals(), !chosen.empty());
            // ... and the formula reader takes it for a chord type it can show.
            ASSERT_TRUE(formulaRecordValid(FormulaRecord{list, "user", text}.toBytes().data())) << text;
        }
        form.reset();
        ASSERT_EQ(form.formulaText(), "1");
        ASSERT_EQ(form.intervals(), (IntervalList{0, 255, 255, 255, 255, 255, 255}));
        ASSERT_EQ(form.count(), 0);
    }
}
