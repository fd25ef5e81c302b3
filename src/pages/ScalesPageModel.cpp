#include "pages/ScalesPageModel.h"

namespace strumox::pages {

ScaleRecord newScalesPageRow(const theory::ScaleDefinition& scale, const std::string& name, int key,
                             const theory::Tuning& tuning, const std::string& typedTuningName,
                             const theory::NoteNames& names)
{
    ScaleRecord row;
    row.empty = 0;
    row.intervals = scale.intervals;
    row.formula = scale.formula;
    row.name = name.substr(0, ScaleRecord::kNameCapacity);
    const std::string tuningName =
        typedTuningName.empty() ? theory::scaleRowTuningName(tuning, names) : typedTuningName;
    row.tuningName = tuningName.substr(0, ScaleRecord::kTuningNameCapacity);
    row.tuning = tuning;
    row.root = static_cast<std::uint8_t>(key);
    row.beginFret = kDefaultBeginFrets;
    return row;
}

bool ScalesPageModel::addRow(const ScaleRecord& r)
{
    if (isFull())
        return false;
    m_rows[size_t(m_rowCount)] = r;
    selected = clicked = Cell{0, m_rowCount};
    selection = r;
    ++m_rowCount;
    return true;
}

int ScalesPageModel::placeRow(int targetRow, const ScaleRecord& r)
{
    const int row = targetRow > m_rowCount ? m_rowCount : targetRow;
    const bool wasEmpty = m_rows[size_t(row)].isEmpty();
    m_rows[size_t(row)] = r;
    m_rows[size_t(row)].empty = 0;
    m_rows[size_t(row)].beginFret = kDefaultBeginFrets;
    if (wasEmpty && row == m_rowCount)
        ++m_rowCount;
    selected = clicked = Cell{0, row};
    selection = m_rows[size_t(row)];
    return row;
}

void ScalesPageModel::setBeginFret(Cell c, int fret)
{
    m_rows[size_t(c.row)].beginFret[size_t(c.column)] = static_cast<std::uint8_t>(fret);
    if (c.row == selected.row)
        selection.beginFret[size_t(c.column)] = static_cast<std::uint8_t>(fret);
}

void ScalesPageModel::recount()
{
    m_rowCount = 0;
    for (const ScaleRecord& r : m_rows) {
        if (r.isEmpty())
            return;
        ++m_rowCount;
    }
}

void ScalesPageModel::erase()
{
    for (ScaleRecord& r : m_rows)
        r.empty = 1;
    m_rowCount = 0;
    selected = clicked = Cell{};
    selection = ScaleRecord{};
}

bool ScalesPageModel::select(Cell c)
{
    if (c.row >= m_rowCount || c == selected)
        return false;
    selected = c;
    selection = m_rows[size_t(c.row)];
    return true;
}

}  // namespace strumox::pages
