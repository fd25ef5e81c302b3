// strumox-cli dump: any page file as the program reads it, as JSON or as a text summary.
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/RecordJson.h"
#include "pages/PageFiles.h"
#include "pages/RecordText.h"

namespace strumox::cli {

namespace {

using pages::PageFileKind;

const theory::NoteNames kNames;  // flats, as the program starts

const char* kindTag(PageFileKind kind)
{
    static const char* const kTags[] = {"cpf", "cds", "ppf", "gpr", "spf"};
    return kTags[static_cast<std::size_t>(kind)];
}

// Whatever a reader refused ends the command with its message.
template <typename Page>
Page checked(std::optional<Page> page, const std::string& error)
{
    if (!page)
        throw std::runtime_error(error);
    return std::move(*page);
}

// ---- JSON --------------------------------------------------------------------------------------

template <typename Records, typename ToJson>
std::string jsonList(const Records& records, ToJson toJson)
{
    std::string out = "[\n";
    for (std::size_t i = 0; i < records.size(); ++i)
        out += "  " + toJson(records[i]) + (i + 1 < records.size() ? ",\n" : "\n");
    return out + "]";
}

std::string playHeaderJson(const pages::PlayPageFile& p)
{
    auto flag = [](bool b) { return b ? "true" : "false"; };
    std::ostringstream o;
    o << "{\"timeSignature\":" << (p.threeFour ? 3 : 4) << ",\"strumSpeed\":" << p.strumSpeed
      << ",\"tempo\":" << p.tempo << ",\"tempoWasZero\":" << flag(p.tempoWasZero) << ",\"loop\":" << flag(p.loop)
      << ",\"bass\":" << flag(p.bass) << ",\"older\":" << flag(p.older) << '}';
    return o.str();
}

std::string markersJson(const pages::PlayPageFile& p)
{
    const auto marks = pages::currentRepeatMarkers(p);
    static const char* const kRows[] = {"return", "repeat", "counter", "loop"};
    std::string out = "{";
    for (std::size_t row = 0; row < 4; ++row) {
        const auto first = marks.begin() + static_cast<std::ptrdiff_t>(row * pages::kMeasureCount);
        out += std::string(row ? "," : "") + "\"" + kRows[row] + "\":" +
               jsonNumbers(std::vector<std::uint8_t>(first, first + pages::kMeasureCount));
    }
    return out + "}";
}

void printJsonDocument(const std::string& path, PageFileKind kind)
{
    std::string error, header = "{}", records, markers;
    switch (kind) {
    case PageFileKind::Chords:
        records = jsonList(checked(pages::readChordPageFile(path, &error), error).cells, diagramJson);
        break;
    case PageFileKind::ChordDesign:
        records = jsonList(checked(pages::readDesignFile(path, &error), error).diagrams, diagramJson);
        break;
    case PageFileKind::Print:
        records = jsonList(checked(pages::readPrintPageFile(path, &error), error).cells, printJson);
        break;
    case PageFileKind::Scales:
        records = jsonList(checked(pages::readScalePageFile(path, &error), error).rows,
                           [](const pages::ScaleRecord& s) { return scaleJson(s, kNames); });
        break;
    case PageFileKind::PlayPage: {
        const auto page = checked(pages::readPlayPageFile(path, &error), error);
        header = playHeaderJson(page);
        records = jsonList(page.diagrams, diagramJson);
        markers = ",\n\"markers\":" + markersJson(page);
        break;
    }
    }
    std::cout << "{\"kind\":\"" << kindTag(kind) << "\",\n\"header\":" << header << ",\n\"records\":" << records
              << markers << "}\n";
}

// ---- Text --------------------------------------------------------------------------------------

// Frets low E string first, as guitarists write a shape: "x 3 2 0 1 0".
template <typename Chord>
std::string shapeText(const Chord& c)
{
    std::string out;
    for (int s = 5; s >= 0; --s) {
        const auto i = static_cast<std::size_t>(s);
        out += (out.empty() ? "" : " ") + (c.markers[i] == pages::MarkerMuted ? std::string("x") : std::to_string(c.frets[i]));
    }
    return out;
}

std::string chordLine(const pages::DiagramRecord& d)
{
    return pages::printableFromLatin1(pages::chordTitle(d, kNames)) + "  frets " + shapeText(d) + "  base fret " +
           std::to_string(d.baseFret) + "  [ " + pages::printableFromLatin1(pages::trimmed(d.formula)) + " ]  " +
           pages::printableFromLatin1(pages::trimmed(d.tuningName));
}

std::string printLine(const pages::PrintRecord& p)
{
    const auto lines = pages::printTextLines(p, kNames);
    std::string out = pages::printableFromLatin1(lines[0]) + (p.isChord ? "  frets " + shapeText(p) : "  scale") +
                      "  base fret " + std::to_string(p.baseFret);
    for (std::size_t i = 2; i < 4; ++i)
        out += "  " + pages::printableFromLatin1(lines[i]);
    return out;
}

std::string scaleLine(const pages::ScaleRecord& s)
{
    std::string out = pages::printableFromLatin1(pages::scaleRowHeader(s, kNames)) + "  begin frets";
    for (const auto f : s.beginFret)
        out += " " + std::to_string(f);
    return out;
}

// One line per filled record, `where` naming its place from its index.
template <typename Records, typename Where, typename Line>
void printFilled(const Records& records, Where where, Line line)
{
    int filled = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].isEmpty())
            continue;
        ++filled;
        std::cout << where(static_cast<int>(i)) << ": " << line(records[i]) << '\n';
    }
    if (filled == 0)
        std::cout << "(no filled records)\n";
}

void printMarkers(const pages::PlayPageFile& p, const std::string& path)
{
    const auto marks = pages::currentRepeatMarkers(p);
    auto at = [&](std::size_t row, std::size_t m) { return int(marks[row * pages::kMeasureCount + m]); };
    std::cout << "Repeat markers (" << (p.markers ? pages::repeatFilePath(path) : std::string("defaults, no .rpt"))
              << "), measures counted from 1:\n  return marks:";
    for (std::size_t m = 0; m < pages::kMeasureCount; ++m)
        if (at(pages::kReturnRow, m))
            std::cout << ' ' << m + 1;
    std::cout << "\n  repeats:";
    for (std::size_t m = 0; m < pages::kMeasureCount; ++m)
        if (at(pages::kRepeatCountRow, m))
            std::cout << ' ' << m + 1 << " x" << at(pages::kRepeatCountRow, m) << " (counter "
                      << at(pages::kRepeatCounterRow, m) << ')';
    std::cout << "\n  loop marks:";
    for (std::size_t m = 0; m < pages::kMeasureCount; ++m)
        if (at(pages::kLoopRow, m))
            std::cout << ' ' << m + 1;
    std::cout << '\n';
}

std::string gridPlace(const char* row, int i)
{
    return std::string(row) + ' ' + std::to_string(i / 6 + 1) + ", column " + std::to_string(i % 6 + 1);
}

void printSummary(const std::string& path, PageFileKind kind)
{
    std::string error;
    switch (kind) {
    case PageFileKind::Chords: {
        const auto page = checked(pages::readChordPageFile(path, &error), error);
        std::cout << "Chord Page file " << path << '\n';
        printFilled(page.cells, [](int i) { return gridPlace("set", i); }, chordLine);
        break;
    }
    case PageFileKind::ChordDesign: {
        const auto design = checked(pages::readDesignFile(path, &error), error);
        std::cout << "Chord Design file " << path << '\n';
        printFilled(design.diagrams, [](int i) { return "slot " + std::to_string(i + 1); }, chordLine);
        break;
    }
    case PageFileKind::Print: {
        const auto page = checked(pages::readPrintPageFile(path, &error), error);
        std::cout << "Print Page file " << path << '\n';
        printFilled(page.cells, [](int i) { return gridPlace("row", i); }, printLine);
        break;
    }
    case PageFileKind::Scales: {
        const auto page = checked(pages::readScalePageFile(path, &error), error);
        std::cout << "Scale Page file " << path << '\n';
        printFilled(page.rows, [](int i) { return "row " + std::to_string(i + 1); }, scaleLine);
        break;
    }
    case PageFileKind::PlayPage: {
        const auto page = checked(pages::readPlayPageFile(path, &error), error);
        std::cout << "PlayPage file " << path << (page.older ? " (older form, 72 slots)" : "") << '\n'
                  << "Time signature " << (page.threeFour ? "3/4" : "4/4") << ", strum speed " << page.strumSpeed
                  << ", tempo " << page.tempo << (page.tempoWasZero ? " (0 in the file)" : "") << ", Loop Play "
                  << (page.loop ? "down" : "up") << ", Bass Note " << (page.bass ? "down" : "up") << '\n';
        printMarkers(page, path);
        printFilled(page.diagrams,
                    [](int i) {
                        return "slot " + std::to_string(i) + " (row " + std::to_string(i / 12 + 1) + ", column " +
                               std::to_string(i % 12 + 1) + ")";
                    },
                    chordLine);
        break;
    }
    }
}

}  // namespace

int runDump(Args args)
{
    bool asJson = false;
    std::vector<std::string> positional;
    for (const std::string& a : args) {
        if (a == "--json")
            asJson = true;
        else if (a.starts_with("--"))
            throw UsageError("dump: unexpected argument '" + a + "'");
        else
            positional.push_back(a);
    }
    if (positional.size() != 1)
        throw UsageError("dump: expected one page file");
    const std::string& path = positional.front();
    const auto kind = pages::pageFileKindOf(path);
    if (!kind)
        throw UsageError("dump: '" + path + "' is no page file: the name must end in .cpf, .cds, .ppf, .gpr, .prf or .spf");
    if (asJson)
        printJsonDocument(path, *kind);
    else
        printSummary(path, *kind);
    return 0;
}

}  // namespace strumox::cli
