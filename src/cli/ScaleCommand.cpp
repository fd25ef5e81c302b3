#include <cctype>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/RecordJson.h"
#include "pages/RecordText.h"
#include "pages/ScaleRecord.h"
#include "pages/ScalesPageModel.h"
#include "theory/Notes.h"
#include "theory/ScaleData.h"

namespace strumox::cli {

namespace {

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A menu index 0..46 or a menu caption in any letter case.
std::optional<int> parseScale(std::string_view text)
{
    if (const auto n = wholeNumber(text))
        return (*n >= 0 && *n < theory::kScaleCount) ? n : std::nullopt;
    const std::string wanted = lowered(text);
    for (int i = 0; i < theory::kScaleCount; ++i) {
        if (lowered(theory::kScaleNames[static_cast<std::size_t>(i)]) == wanted)
            return i;
    }
    return std::nullopt;
}

std::vector<std::string> noteNames(const pages::ScaleRecord& r, const theory::NoteNames& names)
{
    std::vector<std::string> out;
    for (const int note : theory::scaleNotes(r.intervals, r.root))
        out.push_back(names.note(note));
    return out;
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : " ") + p;
    return out;
}

}  // namespace

int runScale(Args args)
{
    std::string dir;
    bool asJson = false;
    auto spelling = theory::Spelling::Flats;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--appdir" || args[i].starts_with("--appdir="))
            dir = optionValue(args, i, "--appdir");
        else if (args[i] == "--json")
            asJson = true;
        else if (args[i] == "--sharps")
            spelling = theory::Spelling::Sharps;
        else if (args[i] == "--flats")
            spelling = theory::Spelling::Flats;
        else if (args[i].starts_with("--"))
            throw UsageError("scale: unexpected argument '" + args[i] + "'");
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 2)
        throw UsageError("scale: needs a scale (0.." + std::to_string(theory::kScaleCount - 1) +
                         " or its menu name) and a key");
    const auto index = parseScale(positional[0]);
    if (!index)
        throw UsageError("scale: unknown scale '" + positional[0] + "'");
    const auto key = parseKey(positional[1]);
    if (!key)
        throw UsageError("scale: unknown key '" + positional[1] + "' (a note name such as C, Db, F# or 0..11)");

    std::string error;
    const auto def = theory::readScaleRecord(appDirFrom(dir), *index, &error);
    if (!def) {
        std::cerr << kProgram << ": " << error << '\n';
        return kExitFailure;
    }

    const theory::NoteNames names(spelling);
    // The row the scale finder makes with the tuning-name field empty and the guitar in standard
    // tuning.
    const pages::ScaleRecord row = pages::newScalesPageRow(
        *def, std::string(theory::kScaleNames[static_cast<std::size_t>(*index)]), *key, theory::kStandardTuning, {},
        names);
    const std::vector<std::string> notes = noteNames(row, names);
    if (asJson) {
        std::cout << scaleJson(row, names) << '\n';
        return 0;
    }
    // First the heading exactly as the Scales page writes it over the row, then field by field.
    const std::string tuning = pages::trimmed(row.tuningName);
    std::cout << pages::printableFromLatin1(pages::scaleRowHeader(row, names)) << '\n'
              << "Name:        " << pages::printableFromLatin1(row.name) << '\n'
              << "Root:        " << names.note(row.root) << '\n'
              << "Formula:     " << pages::printableFromLatin1(row.formula) << '\n'
              << "Notes:       " << joined(notes) << '\n'
              << "Tuning:      " << pages::printableFromLatin1(tuning) << '\n'
              << "Begin frets:";
    for (const auto fret : row.beginFret)
        std::cout << ' ' << static_cast<int>(fret);
    std::cout << '\n';
    return 0;
}

}  // namespace strumox::cli
