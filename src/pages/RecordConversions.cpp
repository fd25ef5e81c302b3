#include "pages/RecordConversions.h"

#include "pages/ShortString.h"

namespace strumox::pages {

PrintRecord chordToPrint(const DiagramRecord& chord)
{
    PrintRecord p;
    p.empty = chord.empty;
    p.isChord = 1;
    p.name = fitShortString(chord.name, PrintRecord::kNameCapacity);
    p.tuningName = fitShortString(chord.tuningName, PrintRecord::kTuningNameCapacity);
    p.formula = fitShortString(chord.formula, PrintRecord::kFormulaCapacity);
    p.tuning = chord.tuning;
    p.frets = chord.frets;
    p.markers = chord.markers;
    p.intervals.fill(theory::kNoInterval);
    for (size_t i = 0; i < chord.intervals.size(); ++i)
        p.intervals[i] = chord.intervals[i];
    p.sounding = chord.sounding;
    p.baseFret = chord.baseFret;
    p.root = chord.root;
    p.bass = chord.bass;
    return p;
}

DiagramRecord printToChord(const PrintRecord& print)
{
    DiagramRecord d;
    d.empty = print.empty;
    d.name = fitShortString(print.name, DiagramRecord::kNameCapacity);
    d.tuningName = fitShortString(print.tuningName, DiagramRecord::kTuningNameCapacity);
    d.formula = fitShortString(print.formula, DiagramRecord::kFormulaCapacity);
    d.tuning = print.tuning;
    d.frets = print.frets;
    d.markers = print.markers;
    for (size_t i = 0; i < d.intervals.size(); ++i)
        d.intervals[i] = print.intervals[i];
    d.sounding = print.sounding;
    d.baseFret = print.baseFret;
    d.root = print.root;
    d.bass = print.bass;
    return d;
}

PrintRecord scaleToPrint(const ScaleRecord& scale, std::uint8_t baseFret, const PrintRecord& destination)
{
    PrintRecord p = destination;
    p.empty = scale.empty;
    p.isChord = 0;
    p.name = fitShortString(scale.name, PrintRecord::kNameCapacity);
    p.tuningName = fitShortString(scale.tuningName, PrintRecord::kTuningNameCapacity);
    p.formula = fitShortString(scale.formula, PrintRecord::kFormulaCapacity);
    p.tuning = scale.tuning;
    p.intervals = scale.intervals;
    p.baseFret = baseFret;
    p.root = scale.root;
    return p;
}

ScaleRecord printToScale(const PrintRecord& print)
{
    ScaleRecord s;
    s.empty = print.empty;
    s.name = fitShortString(print.name, ScaleRecord::kNameCapacity);
    s.tuningName = fitShortString(print.tuningName, ScaleRecord::kTuningNameCapacity);
    s.formula = fitShortString(print.formula, ScaleRecord::kFormulaCapacity);
    s.tuning = print.tuning;
    s.intervals = print.intervals;
    s.beginFret.fill(print.baseFret);
    s.root = print.root;
    return s;
}

}  // namespace strumox::pages
