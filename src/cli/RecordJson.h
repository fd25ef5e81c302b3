#pragma once
// The three page records as JSON objects, one line each, shared by `chord`, `scale` and `dump`.
// Every array is in record order: index 0 = string 0 = the high E string.
#include <string>

#include "pages/DiagramRecord.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"
#include "theory/Notes.h"

namespace strumox::cli {

// {"empty","name","tuningName","formula","tuning","frets","markers","intervals","sounding",
//  "baseFret","root","bass"}
std::string diagramJson(const pages::DiagramRecord& d);

// As a diagram, with "isChord" after "empty" and ten interval entries.
std::string printJson(const pages::PrintRecord& p);

// {"empty","name","tuningName","formula","tuning","intervals","beginFret","root","notes"}, the
// notes named in the spelling of `names`.
std::string scaleJson(const pages::ScaleRecord& s, const theory::NoteNames& names);

}  // namespace strumox::cli
