// strumox-cli formulas / chord: the chord formula file and the chord dictionary as the chord
// finder reads them from the program directory.
#include <algorithm>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/RecordJson.h"
#include "pages/ChordFinder.h"
#include "pages/RecordText.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordTypes.h"
#include "theory/Notes.h"

namespace strumox::cli {

namespace {

using theory::FormulaRecord;
using theory::kChordTypeCount;

std::string intervalText(const theory::IntervalList& list)
{
    std::string out;
    for (int i = 0, n = theory::intervalCount(list); i < n; ++i)
        out += (i ? " " : "") + std::to_string(list[static_cast<size_t>(i)]);
    return out;
}

std::optional<int> smallNumber(std::string_view text, int lowest, int highest)
{
    const auto n = wholeNumber(text);
    return (n && *n >= lowest && *n <= highest) ? n : std::nullopt;
}

// A menu caption, or a formula index; "#N" for an index that is also a caption (6, 7, 9 ...).
std::optional<int> parseType(const std::string& text)
{
    for (int g = 0; g < kChordTypeCount; ++g)
        if (theory::kChordTypeCaptions[static_cast<size_t>(g)] == text)
            return g;
    if (text.starts_with('#'))
        return smallNumber(text.substr(1), 0, kChordTypeCount - 1);
    return smallNumber(text, 0, kChordTypeCount - 1);
}

struct CommonOptions {
    bool json = false;
    std::string appDir;
    std::vector<std::string> positional;
};

CommonOptions parseOptions(Args args, std::string_view command)
{
    CommonOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--json")
            o.json = true;
        else if (args[i] == "--appdir" || args[i].starts_with("--appdir="))
            o.appDir = optionValue(args, i, "--appdir");
        else if (args[i].starts_with("--"))
            throw UsageError(std::string(command) + ": unexpected argument '" + args[i] + "'");
        else
            o.positional.push_back(args[i]);
    }
    return o;
}

// One fingering as a chord-book diagram: low E on the left, x / o above the nut, the finger
// numbers on their frets, the fret of the first row at its left.
void printDiagram(std::ostream& out, const pages::DiagramRecord& d, const theory::NoteNames& names, int number)
{
    static constexpr const char* kStringNames[] = {"e", "B", "G", "D", "A", "E"};
    out << names.note(d.root) << ' ' << pages::printableFromLatin1(d.name) << "  (" << number << " of 6)  frets";
    for (int s = 5; s >= 0; --s) {
        const auto i = static_cast<size_t>(s);
        out << ' ' << (d.markers[i] == pages::MarkerMuted ? std::string("x") : std::to_string(d.frets[i]));
    }
    out << "\n     ";
    for (int s = 5; s >= 0; --s)
        out << kStringNames[s] << (s ? "  " : "\n     ");
    for (int s = 5; s >= 0; --s) {
        const auto m = d.markers[static_cast<size_t>(s)];
        out << (m == pages::MarkerMuted ? 'x' : m == pages::MarkerOpen ? 'o' : ' ') << (s ? "  " : "\n");
    }
    out << "    " << (d.baseFret == 1 ? "=================" : "-----------------") << '\n';
    int highest = d.baseFret;
    for (size_t s = 0; s < 6; ++s)
        if (d.markers[s] != pages::MarkerMuted && d.frets[s] > 0)
            highest = std::max<int>(highest, d.frets[s]);
    const int rows = std::clamp(highest - d.baseFret + 1, 4, 6);
    for (int row = 0; row < rows; ++row) {
        const int fret = d.baseFret + row;
        std::string label = row == 0 ? std::to_string(fret) : "";
        out << std::string(3 - std::min<size_t>(3, label.size()), ' ') << label << "  ";
        for (int s = 5; s >= 0; --s) {
            const auto i = static_cast<size_t>(s);
            const bool here = d.markers[i] != pages::MarkerMuted && d.frets[i] == fret && fret > 0;
            const char mark = !here ? '|' : (d.markers[i] >= 1 && d.markers[i] <= 4) ? char('0' + d.markers[i]) : '*';
            out << mark << (s ? "  " : "\n");
        }
    }
}

}  // namespace

int runFormulas(Args args)
{
    const CommonOptions o = parseOptions(args, "formulas");
    if (!o.positional.empty())
        throw UsageError("formulas: unexpected argument '" + o.positional.front() + "'");
    const std::string path = appDirFrom(o.appDir) + std::string(theory::kFormulaFileName);
    std::string error;
    const auto records = theory::readFormulaFile(path, &error);
    if (!records)
        throw std::runtime_error(error);
    if (o.json) {
        std::cout << "[\n";
        for (size_t g = 0; g < records->size(); ++g) {
            const FormulaRecord& r = (*records)[g];
            std::cout << "  {\"index\":" << g << ",\"suffix\":" << jsonString(r.suffix)
                      << ",\"formula\":" << jsonString(r.text) << ",\"intervals\":" << jsonNumbers(r.intervals) << '}'
                      << (g + 1 < records->size() ? ",\n" : "\n");
        }
        std::cout << "]\n";
        return 0;
    }
    for (size_t g = 0; g < records->size(); ++g) {
        const FormulaRecord& r = (*records)[g];
        std::string index = std::to_string(g);
        // Columns are counted in characters, one a byte of the file's text.
        std::cout << std::string(2 - index.size(), ' ') << index << "  " << pages::printableFromLatin1(r.suffix)
                  << std::string(16 - std::min<size_t>(15, r.suffix.size()), ' ') << pages::printableFromLatin1(r.text)
                  << std::string(21 - std::min<size_t>(20, r.text.size()), ' ') << intervalText(r.intervals) << '\n';
    }
    return 0;
}

int runChord(Args args)
{
    const CommonOptions o = parseOptions(args, "chord");
    if (o.positional.size() != 2)
        throw UsageError("chord: expected KEY and TYPE, e.g. 'chord D m7'");
    const auto key = parseKey(o.positional[0]);
    if (!key)
        throw UsageError("chord: unknown key '" + o.positional[0] + "' (a note name such as C, Db or F#, or 0..11)");
    const auto type = parseType(o.positional[1]);
    if (!type)
        throw UsageError("chord: unknown chord type '" + o.positional[1] +
                         "' (a menu caption such as major, m7 or 13sus(b9), or a formula index 0..61)");
    std::string error;
    const auto lookup = theory::lookupChord(appDirFrom(o.appDir), *type, *key, &error);
    if (!lookup)
        throw std::runtime_error(error);
    const auto diagrams = pages::diagramsFromLookup(*lookup, *key);
    if (o.json) {
        std::cout << "[\n";
        for (size_t i = 0; i < diagrams.size(); ++i)
            std::cout << "  " << diagramJson(diagrams[i]) << (i + 1 < diagrams.size() ? ",\n" : "\n");
        std::cout << "]\n";
        return 0;
    }
    const theory::NoteNames names(o.positional[0].find('#') != std::string::npos ? theory::Spelling::Sharps
                                                                                  : theory::Spelling::Flats);
    std::cout << names.note(*key) << ' ' << pages::printableFromLatin1(lookup->formula.suffix) << "   [";
    for (int i = 0, n = theory::intervalCount(lookup->formula.intervals); i < n; ++i)
        std::cout << ' ' << names.note(*key + lookup->formula.intervals[static_cast<size_t>(i)]);
    std::cout << " ]   [ " << pages::printableFromLatin1(lookup->formula.text) << " ]\n";
    for (size_t i = 0; i < diagrams.size(); ++i) {
        std::cout << '\n';
        printDiagram(std::cout, diagrams[i], names, static_cast<int>(i) + 1);
    }
    return 0;
}

}  // namespace strumox::cli
