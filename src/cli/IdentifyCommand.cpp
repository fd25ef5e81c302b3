// strumox-cli identify: names a fretted chord as the Chord Design page's Search does, from the
// fingering the fretboard editor would build out of the same clicks.
#include <array>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Frets.h"
#include "fretboard/ChordNaming.h"
#include "pages/RecordText.h"
#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordSearch.h"

namespace strumox::cli {

namespace {

using theory::IntervalOption;
using theory::RootOption;

// "2,5": simple intervals to write in compound form (2 -> 14, the ninth).
theory::CompoundFlags parseCompound(const std::string& text)
{
    theory::CompoundFlags flags{};
    for (const std::string& p : splitAtCommas(text)) {
        const auto v = wholeNumber(p);
        if (!v || (*v != 1 && *v != 2 && *v != 3 && *v != 5 && *v != 6 && *v != 8 && *v != 9))
            throw UsageError("identify: --compound takes intervals among 1,2,3,5,6,8,9 separated by commas; got '" +
                             p + "'");
        flags[static_cast<std::size_t>(*v)] = true;
    }
    return flags;
}

int parseOption(const std::string& text, std::string_view name, int highest)
{
    const auto v = wholeNumber(text);
    if (!v || *v < 0 || *v > highest)
        throw UsageError("identify: " + std::string(name) + " must be 0.." + std::to_string(highest) + "; got '" +
                         text + "'");
    return *v;
}

}  // namespace

int runIdentify(Args args)
{
    std::optional<std::string> fretsText, rootText;
    auto iop = IntervalOption::Only;
    auto rop = RootOption::CurrentRoot;
    theory::CompoundFlags flags{};
    bool json = false;
    std::string appDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto is = [&a](std::string_view name) { return a == name || (a.starts_with(name) && a[name.size()] == '='); };
        if (a == "--json")
            json = true;
        else if (is("--appdir"))
            appDir = optionValue(args, i, "--appdir");
        else if (is("--root"))
            rootText = optionValue(args, i, "--root");
        else if (is("--interval-op"))
            iop = static_cast<IntervalOption>(parseOption(optionValue(args, i, "--interval-op"), "--interval-op", 1));
        else if (is("--root-op"))
            rop = static_cast<RootOption>(parseOption(optionValue(args, i, "--root-op"), "--root-op", 2));
        else if (is("--compound"))
            flags = parseCompound(optionValue(args, i, "--compound"));
        else if (a.starts_with("--") || fretsText)
            throw UsageError("identify: unexpected argument '" + a + "'");
        else
            fretsText = a;
    }
    if (!fretsText)
        throw UsageError("identify: expected FRETS, low E string first, e.g. 'identify x,3,2,0,1,0'");
    const FretList frets = parseFrets(*fretsText, "identify");

    int root = 0;
    if (rootText) {
        const auto key = parseKey(*rootText);
        if (!key)
            throw UsageError("identify: unknown root '" + *rootText + "' (a note name such as C, Db or F#, or 0..11)");
        root = *key;
    } else {
        root = lowestPlayedNote(frets);
    }

    std::string error;
    const auto formulas =
        theory::readFormulaFile(appDirFrom(appDir) + std::string(theory::kFormulaFileName), &error);
    if (!formulas)
        throw std::runtime_error(error);

    const auto work = fretWork(frets, root, flags);
    const theory::NoteNames names(rootText && rootText->find('#') != std::string::npos ? theory::Spelling::Sharps
                                                                                          : theory::Spelling::Flats);
    const auto outcome = theory::searchChords(fretboard::searchInputOf(work), iop, rop, *formulas, names);

    if (json) {
        std::cout << "{\"intervalOp\":" << static_cast<int>(outcome.intervalOp)
                  << ",\"rootOp\":" << static_cast<int>(outcome.rootOp) << ",\"results\":[";
        for (std::size_t k = 0; k < outcome.results.size(); ++k) {
            const auto& r = outcome.results[k];
            std::cout << (k ? "," : "") << "\n  {\"text\":" << jsonString(r.text) << ",\"g\":" << r.formulaIndex
                      << ",\"root\":" << r.root << '}';
        }
        std::cout << (outcome.results.empty() ? "" : "\n") << "]}\n";
        return 0;
    }
    if (outcome.results.empty()) {
        std::cout << theory::kNoChordsFound << '\n';
        return 0;
    }
    // The tab is the list's own column break; the texts around it go out printable.
    for (const auto& r : outcome.results) {
        const auto& f = (*formulas)[static_cast<std::size_t>(r.formulaIndex)];
        std::cout << names.note(r.root) << ' ' << pages::printableFromLatin1(f.suffix) << '\t'
                  << pages::printableFromLatin1(f.text) << '\n';
    }
    return 0;
}

}  // namespace strumox::cli
