#include "cli/RecordJson.h"

#include <sstream>

#include "cli/CliCommon.h"
#include "theory/ScaleTypes.h"

namespace strumox::cli {

namespace {

// The fields after the texts, which chord records and Print cells share.
template <typename Chord>
void chordFields(std::ostream& o, const Chord& c)
{
    o << ",\"name\":" << jsonString(c.name) << ",\"tuningName\":" << jsonString(c.tuningName)
      << ",\"formula\":" << jsonString(c.formula) << ",\"tuning\":" << jsonNumbers(c.tuning)
      << ",\"frets\":" << jsonNumbers(c.frets) << ",\"markers\":" << jsonNumbers(c.markers)
      << ",\"intervals\":" << jsonNumbers(c.intervals) << ",\"sounding\":" << jsonNumbers(c.sounding)
      << ",\"baseFret\":" << int(c.baseFret) << ",\"root\":" << int(c.root) << ",\"bass\":" << int(c.bass) << '}';
}

}  // namespace

std::string diagramJson(const pages::DiagramRecord& d)
{
    std::ostringstream o;
    o << "{\"empty\":" << int(d.empty);
    chordFields(o, d);
    return o.str();
}

std::string printJson(const pages::PrintRecord& p)
{
    std::ostringstream o;
    o << "{\"empty\":" << int(p.empty) << ",\"isChord\":" << int(p.isChord);
    chordFields(o, p);
    return o.str();
}

std::string scaleJson(const pages::ScaleRecord& s, const theory::NoteNames& names)
{
    std::string notes = "[";
    for (const int note : theory::scaleNotes(s.intervals, s.root))
        notes += (notes.size() > 1 ? "," : "") + jsonString(names.note(note));
    notes += "]";
    std::ostringstream o;
    o << "{\"empty\":" << int(s.empty) << ",\"name\":" << jsonString(s.name)
      << ",\"tuningName\":" << jsonString(s.tuningName) << ",\"formula\":" << jsonString(s.formula)
      << ",\"tuning\":" << jsonNumbers(s.tuning) << ",\"intervals\":" << jsonNumbers(s.intervals)
      << ",\"beginFret\":" << jsonNumbers(s.beginFret) << ",\"root\":" << int(s.root) << ",\"notes\":" << notes
      << '}';
    return o.str();
}

}  // namespace strumox::cli
