#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "theory/ChordFormulas.h"
#include "theory/UserChordForm.h"

using namespace strumox::theory;

namespace {

// How a player reads each degree the dialog offers, written out on its own so the form's tables
// are checked against it rather than against themselves.
const std::map<std::string, int> kDegreeSemitones{
    {"1", 0},   {"b2", 1},  {"2", 2},   {"b3", 3},  {"3", 4},   {"4", 5},   {"b5", 6},
    {"5", 7},   {"#5", 8},  {"6", 9},   {"b7", 10}, {"7", 11},  {"b9", 13}, {"9", 14},
    {"#9", 15}, {"11", 17}, {"#11", 18}, {"b13", 20}, {"13", 21}};

// The rule in its plainest form: a set of chosen boxes that refuses a seventh.
struct Reference {
    std::set<int> chosen;
    void request(int box, bool ticked)
    {
        if (box == 0)
            return;
        if (!ticked)
            chosen.erase(box);
        else if (chosen.size() < UserChordForm::kMaxChosen)
            chosen.insert(box);
    }
};

}  // namespace

// ---- Toggles against the reference -------------------------------------------------------------

TEST(UserChordForm, RandomTogglesKeepCountTextAndIntervalsInStepWithTheBoxes)
{
    std::mt19937 rng(5150);
    for (int run = 0; run < 200; ++run) {
        UserChordForm form;
        Reference ref;
        for (int step = 0; step < 60; ++step) {
            const int box = static_cast<int>(rng() % UserChordForm::kBoxCount);
            // Mostly a real change; now and then the dialog re-setting a box to the state it has.
            const bool wanted = rng() % 5 == 0 ? form.ticked(box) : !form.ticked(box);
            ref.request(box, wanted);
            const bool shown = form.setTicked(box, wanted);
            ASSERT_EQ(shown, box == 0 || ref.chosen.count(box) == 1) << "run " << run << " step " << step;

            ASSERT_EQ(form.count(), static_cast<int>(ref.chosen.size()));
            ASSERT_TRUE(form.ticked(0));
            for (int b = 1; b < UserChordForm::kBoxCount; ++b)
                ASSERT_EQ(form.ticked(b), ref.chosen.count(b) == 1);

            // The text reads as the root and the chosen degrees, in box order ...
            std::string expectedText = "1";
            for (int b : ref.chosen)
                expectedText += " " + UserChordForm::caption(b);
            ASSERT_EQ(form.formulaText(), expectedText);

            // ... and every word of it names the interval stored in the same place.
            const IntervalList list = form.intervals();
            std::istringstream words(form.formulaText());
            std::size_t slot = 0;
            for (std::string word; words >> word; ++slot) {
                ASSERT_LT(slot, list.size());
                ASSERT_EQ(list[slot], kDegreeSemitones.at(word)) << form.formulaText();
            }
            for (; slot < list.size(); ++slot)
                ASSERT_EQ(list[slot], kNoInterval);
            ASSERT_EQ(form.hasIntervals(), !ref.chosen.empty());

            // What is stored is a chord type the formula reader accepts.
            const FormulaRecord record{list, "user", form.formulaText()};
            ASSERT_TRUE(formulaRecordValid(record.toBytes().data())) << form.formulaText();
        }
    }
}

TEST(UserChordForm, ResetReopensWithTheRootAlone)
{
    UserChordForm form;
    for (int box = 1; box <= 6; ++box)
        form.setTicked(box, true);
    form.reset();
    EXPECT_EQ(form.count(), 0);
    EXPECT_EQ(form.formulaText(), "1");
    EXPECT_EQ(form.intervals(), (IntervalList{0, 255, 255, 255, 255, 255, 255}));
    for (int box = 1; box < UserChordForm::kBoxCount; ++box)
        EXPECT_FALSE(form.ticked(box));
    EXPECT_TRUE(form.setTicked(7, true));  // the cap starts over
}
