#pragma once
// The Scales page: up to five scales, each a row of six neck positions.
#include <array>
#include <string>

#include "pages/PageGeometry.h"
#include "pages/ScaleRecord.h"
#include "theory/Notes.h"
#include "theory/ScaleData.h"

namespace strumox::pages {

// The row the scale finder makes of a scale definition: `name` is the scale's menu caption,
// `key` its root 0..11; the tuning is `tuning`, named `typedTuningName` unless that is empty,
// in which case the notes of the open strings name it (scaleRowTuningName). Every position
// starts at its default beginning fret.
ScaleRecord newScalesPageRow(const theory::ScaleDefinition& scale, const std::string& name, int key,
                             const theory::Tuning& tuning, const std::string& typedTuningName,
                             const theory::NoteNames& names);

class ScalesPageModel {
public:
    int rowCount() const { return m_rowCount; }
    bool isFull() const { return m_rowCount >= kGridRows; }
    const ScaleRecord& row(int r) const { return m_rows[size_t(r)]; }
    ScaleRecord& row(int r) { return m_rows[size_t(r)]; }

    // Adds a row in the next free place, selects its first position; false when five are there.
    bool addRow(const ScaleRecord& r);
    // Whether placing a scale on `targetRow` must first ask "Do you want to replace this row of
    // diagrams?": the row holds a scale.
    bool placeNeedsQuestion(int targetRow) const { return targetRow < m_rowCount; }
    // Placement of a scale: the target row is lowered to the first free row when it lies beyond
    // the filled rows; the beginning frets are reset to the defaults. Returns the row used.
    int placeRow(int targetRow, const ScaleRecord& r);
    // Moves one position of a row to another beginning fret (1..20); the selection follows
    // when it is that row.
    void setBeginFret(Cell c, int fret);
    void recount();
    void erase();

    Cell selected;
    Cell clicked;
    ScaleRecord selection;

    bool select(Cell c);

private:
    std::array<ScaleRecord, kGridRows> m_rows{};
    int m_rowCount = 0;
};

}  // namespace strumox::pages
