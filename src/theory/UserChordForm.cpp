#include "theory/UserChordForm.h"

#include <cassert>

namespace strumox::theory {

namespace {

constexpr std::array<int, UserChordForm::kBoxCount> kTags{0,  1,  2,  3,  4,  5,  6,  7,  8, 9,
                                                          10, 11, 13, 14, 15, 17, 18, 20, 21};

}  // namespace

int UserChordForm::tag(int box)
{
    assert(box >= 0 && box < kBoxCount);
    return kTags.at(static_cast<std::size_t>(box));
}

const std::string& UserChordForm::caption(int box)
{
    return intervalName(tag(box));
}

void UserChordForm::reset()
{
    m_ticked.fill(false);
    m_ticked[0] = true;
    m_count = 0;
    m_formulaText = caption(0);
}

bool UserChordForm::setTicked(int box, bool ticked)
{
    assert(box >= 0 && box < kBoxCount);
    const auto k = static_cast<std::size_t>(box);
    if (box == 0 || m_ticked[k] == ticked)
        return m_ticked[k];
    if (ticked) {
        if (m_count < kMaxChosen) {
            m_ticked[k] = true;
            ++m_count;
        }
    } else {
        m_ticked[k] = false;
        --m_count;
    }
    rewriteFormulaText();
    return m_ticked[k];
}

IntervalList UserChordForm::intervals() const
{
    IntervalList list;
    list.fill(kNoInterval);
    std::size_t next = 0;
    for (int box = 0; box < kBoxCount && next < list.size(); ++box)
        if (m_ticked[static_cast<std::size_t>(box)])
            list[next++] = static_cast<std::uint8_t>(tag(box));
    return list;
}

void UserChordForm::rewriteFormulaText()
{
    m_formulaText = caption(0);
    for (int box = 1; box < kBoxCount; ++box)
        if (m_ticked[static_cast<std::size_t>(box)])
            m_formulaText += " " + caption(box);
}

}  // namespace strumox::theory
