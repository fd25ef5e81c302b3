#include "cli/Frets.h"

#include <vector>

#include "cli/CliCommon.h"
#include "fretboard/FingeringEditor.h"

namespace strumox::cli {

std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    return parts;
}

FretList parseFrets(const std::string& text, std::string_view command)
{
    const std::string prefix = std::string(command) + ": ";
    const auto parts = splitAtCommas(text);
    if (parts.size() != 6)
        throw UsageError(prefix + "FRETS needs six comma-separated entries, low E string first (e.g. x,3,2,0,1,0); got '" +
                         text + "'");
    FretList frets;
    for (std::size_t k = 0; k < 6; ++k) {
        const std::string& p = parts[k];
        const auto fret = wholeNumber(p);
        if (p == "x" || p == "X")
            continue;
        if (!fret || *fret < 0 || *fret > theory::kMaxFret)
            throw UsageError(prefix + "FRETS entry " + std::to_string(k + 1) + " ('" + p +
                             "') must be x (not played) or a fret 0.." + std::to_string(theory::kMaxFret));
        frets[5 - k] = *fret;
    }
    return frets;
}

int lowestPlayedNote(const FretList& frets)
{
    for (int s = 5; s >= 0; --s)
        if (const auto fret = frets[static_cast<std::size_t>(s)])
            return (theory::kStandardTuning[static_cast<std::size_t>(s)] + *fret) % 12;
    return 0;
}

pages::DiagramRecord fretWork(const FretList& frets, int root, const theory::CompoundFlags& flags)
{
    auto work = pages::DiagramRecord::blankWork();
    fretboard::setWorkRoot(work, root);
    for (int s = 5; s >= 0; --s)
        if (const auto fret = frets[static_cast<std::size_t>(s)])
            fretboard::applyFretClick(work, s, *fret, false, pages::MarkerPlain, flags);
    return work;
}

}  // namespace strumox::cli
