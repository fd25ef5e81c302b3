#pragma once
// The Chord Design page's group: six diagrams side by side, the selected one, and the edits the
// strip allows (place, lift and move with its wrap-around shift, delete, load a found chord).
#include <array>
#include <optional>
#include <vector>

#include "pages/DiagramRecord.h"
#include "theory/ChordFormulas.h"
#include "theory/Fingering.h"

namespace strumox::pages {

class DesignGroup {
public:
    static constexpr int kSlots = 6;
    using Slots = std::array<DiagramRecord, kSlots>;

    // Slot under x of the 456-pixel strip (76 pixels a slot); nothing outside the six.
    static std::optional<int> slotAt(int x);

    const DiagramRecord& slot(int k) const { return m_slots[static_cast<size_t>(k)]; }
    bool filled(int k) const { return !slot(k).isEmpty(); }
    const Slots& all() const { return m_slots; }
    int filledCount() const;

    int selected() const { return m_selected; }  // -1 none
    void select(int k) { m_selected = k; }

    bool modified = false;  // changed since read, saved or erased

    // Slot k := d (a placement); the slot becomes the selected one and the group changed.
    void place(int k, const DiagramRecord& d);

    // Move: the diagram leaves its slot and waits for the press that puts it down.
    std::optional<DiagramRecord> lift(int k);
    bool lifting() const { return m_lifted.has_value(); }
    int liftedFrom() const { return m_liftedFrom; }
    // Puts the lifted diagram down at k. When k holds a diagram and is not where the lifted one
    // came from, the slots from the target to the source shift one step toward the source,
    // wrapping around the six, so nothing is overwritten. Returns every slot that changed, the
    // target last.
    std::vector<int> putDown(int k);
    // A move abandoned (the page left before the press): the diagram goes back where it was.
    // Returns the slot it went back to, or nothing when no move was waiting.
    std::optional<int> cancelLift();

    // Empties slot k. When it was the selected slot, the lowest filled slot is selected instead
    // and returned; with none left the selection stays where it was. Not a change of the group
    // as saving counts it.
    std::optional<int> remove(int k);

    // Six found fingerings replace the group; slot 0 becomes the selected one.
    void load(const Slots& six);
    // Erase: every slot empty, unchanged; the selection stays (the work chord is kept).
    void erase();

private:
    Slots m_slots{};
    int m_selected = -1;
    std::optional<DiagramRecord> m_lifted;
    int m_liftedFrom = -1;
};

// A dictionary fingering made into a diagram of the chord: formula's name, text and intervals,
// standard tuning named "Standard", root and bass (root + 24), the sounding note of each played
// string.
DiagramRecord designDiagramOf(const theory::Fingering& f, const theory::FormulaRecord& formula, int root);

// The tuning name a diagram taken from the fretboard carries onto the strip: the tuning name box
// as shown, or, when it is blank, the open strings' names from string 5 down to string 0, each
// followed by a blank; cut to the record's 15 characters.
std::string stripTuningName(const std::string& shown, const std::array<std::string, 6>& stringNames);

}  // namespace strumox::pages
