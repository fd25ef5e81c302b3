#include "pages/DesignGroup.h"

#include <algorithm>

namespace strumox::pages {

namespace {
constexpr int kSlotWidth = 76;

int wrap(int k) { return ((k % DesignGroup::kSlots) + DesignGroup::kSlots) % DesignGroup::kSlots; }
}  // namespace

std::optional<int> DesignGroup::slotAt(int x)
{
    if (x < 0)
        return std::nullopt;
    const int k = x / kSlotWidth;
    if (k >= kSlots)
        return std::nullopt;
    return k;
}

int DesignGroup::filledCount() const
{
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(), [](const DiagramRecord& d) { return !d.isEmpty(); }));
}

void DesignGroup::place(int k, const DiagramRecord& d)
{
    m_slots[static_cast<size_t>(k)] = d;
    m_selected = k;
    modified = true;
}

std::optional<DiagramRecord> DesignGroup::lift(int k)
{
    if (!filled(k))
        return std::nullopt;
    m_lifted = slot(k);
    m_liftedFrom = k;
    m_slots[static_cast<size_t>(k)] = DiagramRecord{};
    return m_lifted;
}

std::vector<int> DesignGroup::putDown(int k)
{
    std::vector<int> changed;
    if (!m_lifted)
        return changed;
    const int m = m_liftedFrom;
    if (filled(k) && k != m) {
        // Every slot from the source back to the target takes its neighbour's diagram, going
        // round the end of the strip when the target lies beyond the source.
        const int d = wrap(m - k);
        for (int i = 0; i < d; ++i) {
            m_slots[static_cast<size_t>(wrap(m - i))] = m_slots[static_cast<size_t>(wrap(m - i - 1))];
            changed.push_back(wrap(m - i));
        }
    }
    place(k, *m_lifted);
    m_lifted.reset();
    m_liftedFrom = -1;
    changed.erase(std::remove(changed.begin(), changed.end(), k), changed.end());
    changed.push_back(k);
    return changed;
}

std::optional<int> DesignGroup::cancelLift()
{
    if (!m_lifted)
        return std::nullopt;
    const int from = m_liftedFrom;
    // The source stays empty until the press, so nothing can have taken it.
    m_slots[static_cast<size_t>(from)] = *m_lifted;
    m_lifted.reset();
    m_liftedFrom = -1;
    return from;
}

std::optional<int> DesignGroup::remove(int k)
{
    m_slots[static_cast<size_t>(k)] = DiagramRecord{};
    if (k != m_selected)
        return std::nullopt;
    for (int i = 0; i < kSlots; ++i)
        if (filled(i)) {
            m_selected = i;
            return i;
        }
    return std::nullopt;
}

void DesignGroup::load(const Slots& six)
{
    m_slots = six;
    m_selected = 0;
    modified = true;
}

void DesignGroup::erase()
{
    m_slots = Slots{};
    m_lifted.reset();
    m_liftedFrom = -1;
    modified = false;
}

DiagramRecord designDiagramOf(const theory::Fingering& f, const theory::FormulaRecord& formula, int root)
{
    DiagramRecord d;
    d.empty = 0;
    d.name = formula.suffix;
    d.formula = formula.text;
    d.tuningName = "Standard";
    d.tuning = theory::kStandardTuning;
    d.intervals = formula.intervals;
    d.root = static_cast<std::uint8_t>(root);
    d.bass = static_cast<std::uint8_t>(root + DiagramRecord::kBassOffset);
    d.baseFret = f.baseFret;
    d.frets = f.frets;
    d.markers = f.markers;
    for (size_t s = 0; s < 6; ++s)
        d.sounding[s] = f.markers[s] == MarkerMuted ? 0 : static_cast<std::uint8_t>(d.tuning[s] + f.frets[s]);
    return d;
}

std::string stripTuningName(const std::string& shown, const std::array<std::string, 6>& stringNames)
{
    std::string name = shown;
    if (name.empty())
        for (int s = 5; s >= 0; --s)
            name += stringNames[static_cast<size_t>(s)] + ' ';
    return name.substr(0, DiagramRecord::kTuningNameCapacity);
}

}  // namespace strumox::pages
