#pragma once
// What the "Add User Chord" dialog decides: which interval boxes may be ticked, the formula text
// they spell and the interval list they store. The dialog only shows this state and forwards
// the user's toggles.
#include <array>
#include <string>

#include "theory/Notes.h"

namespace strumox::theory {

class UserChordForm {
public:
    // Box 0 is the root, always ticked; boxes 1..18 are the intervals the user may add.
    static constexpr int kBoxCount = 19;
    // Seven interval slots, the root in the first: six may be chosen.
    static constexpr int kMaxChosen = 6;

    // Semitones above the root the box stands for: 0 for box 0, then 1..11, 13..15, 17, 18, 20,
    // 21 (a ninth, eleventh or thirteenth stays compound, as the built-in formulas write it).
    static int tag(int box);
    // "1", "b2", "2" ... "b13", "13": the interval name of the box's tag.
    static const std::string& caption(int box);

    UserChordForm() { reset(); }

    // As the dialog opens: only the root ticked, formula text "1", nothing chosen.
    void reset();

    // The user ticked (`ticked` true) or unticked a box; returns the state the box must show.
    // A seventh choice is refused (false); box 0 stays ticked whatever is asked. A request that
    // matches the box's state changes nothing, so a box re-set to the answer does not count twice.
    bool setTicked(int box, bool ticked);

    bool ticked(int box) const { return m_ticked.at(static_cast<std::size_t>(box)); }
    int count() const { return m_count; }  // boxes ticked besides the root
    // "1" and the caption of every ticked box 1..18 in box order, blank-separated ("1 3 5 b7").
    // Rewritten on every toggle; what the user types afterwards is the dialog's business.
    const std::string& formulaText() const { return m_formulaText; }
    // 0, the tags of the ticked boxes in box order, then 255 up to seven entries.
    IntervalList intervals() const;
    bool hasIntervals() const { return m_count > 0; }

private:
    void rewriteFormulaText();

    std::array<bool, kBoxCount> m_ticked{};
    int m_count = 0;
    std::string m_formulaText;
};

}  // namespace strumox::theory
