// strumox-cli events and strum-events: the timed events Play queues, as the clock receives them.
// events runs the PlayPage sequencer against a queue of the chosen size, emptied whenever the
// sequencer finds it full, exactly as the clock's "room" reports make it carry on; strum-events
// strums one diagram or runs one scale position.
//
// Output: one event a line, "TICK STATUS DATA1 DATA2 DATA3" in decimal, TICK counted from the
// run's start (the sum of the queued times), or JSON [{"tick","status","d1","d2","d3"}].
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Frets.h"
#include "pages/PageFiles.h"
#include "pages/PlayPage.h"
#include "pages/RecordConversions.h"
#include "playback/EventBuffers.h"
#include "playback/PlayPageSequencer.h"
#include "playback/Strum.h"
#include "settings/Settings.h"
#include "settings/SoundVoices.h"

namespace strumox::cli {

namespace {

using playback::TickedEvent;

std::string eventText(const std::vector<TickedEvent>& events, bool json)
{
    std::ostringstream out;
    if (json)
        out << '[';
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto& [tick, e] = events[i];
        if (json)
            out << (i ? ",\n " : "\n ") << "{\"tick\":" << tick << ",\"status\":" << int(e.status) << ",\"d1\":"
                << int(e.data1) << ",\"d2\":" << int(e.data2) << ",\"d3\":" << int(e.data3) << '}';
        else
            out << tick << ' ' << int(e.status) << ' ' << int(e.data1) << ' ' << int(e.data2) << ' ' << int(e.data3)
                << '\n';
    }
    if (json)
        out << (events.empty() ? "]\n" : "\n]\n");
    return out.str();
}

// A whole number within lowest..highest, else a usage error naming the option.
int numberIn(const std::string& text, std::string_view command, std::string_view option, long lowest, long highest)
{
    const auto v = wholeNumber(text);
    if (!v || *v < lowest || *v > highest)
        throw UsageError(std::string(command) + ": " + std::string(option) + " must be a whole number " +
                         std::to_string(lowest) + ".." + std::to_string(highest) + "; got '" + text + "'");
    return *v;
}

bool onOff(const std::string& text, std::string_view option)
{
    if (text == "on")
        return true;
    if (text == "off")
        return false;
    throw UsageError("events: " + std::string(option) + " takes on or off; got '" + text + "'");
}

bool isOption(const std::string& arg, std::string_view name)
{
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

template <typename Page>
Page checked(std::optional<Page> page, const std::string& error)
{
    if (!page)
        throw std::runtime_error(error);
    return std::move(*page);
}

}  // namespace

// ---- events ------------------------------------------------------------------------------------

int runEvents(Args args)
{
    constexpr std::string_view kCommand = "events";
    std::optional<std::string> path;
    playback::SequencerOptions options;
    std::optional<int> countOff, strum, tempo, startSlot;
    std::optional<bool> bass, loop;
    std::optional<long long> maxTicks;
    int capacity = static_cast<int>(playback::MidiClock::kDefaultCapacity);
    bool json = false;
    std::string appDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string_view name) { return optionValue(args, i, name); };
        if (a == "--click")
            options.click = true;
        else if (a == "--count")
            options.count = true;
        else if (a == "--json")
            json = true;
        else if (isOption(a, "--count-off"))
            countOff = numberIn(value("--count-off"), kCommand, "--count-off", 1, 4);
        else if (isOption(a, "--bass"))
            bass = onOff(value("--bass"), "--bass");
        else if (isOption(a, "--loop"))
            loop = onOff(value("--loop"), "--loop");
        else if (isOption(a, "--strum"))
            strum = numberIn(value("--strum"), kCommand, "--strum", -800, 0);
        else if (isOption(a, "--tempo"))
            tempo = numberIn(value("--tempo"), kCommand, "--tempo", 10, 250);
        else if (isOption(a, "--start"))
            startSlot = numberIn(value("--start"), kCommand, "--start", 0, pages::PlayPage::kSlotCount - 1);
        else if (isOption(a, "--max-ticks"))
            maxTicks = numberIn(value("--max-ticks"), kCommand, "--max-ticks", 0, 2'000'000'000);
        else if (isOption(a, "--queue"))
            capacity = numberIn(value("--queue"), kCommand, "--queue", 1, 1'000'000);
        else if (isOption(a, "--appdir"))
            appDir = value("--appdir");
        else if (a.starts_with("--") || path)
            throw UsageError("events: unexpected argument '" + a + "'");
        else
            path = a;
    }
    if (!path)
        throw UsageError("events: expected a PlayPage file (.ppf)");
    const auto kind = pages::pageFileKindOf(*path);
    if (kind != pages::PageFileKind::PlayPage)
        throw UsageError("events: '" + *path + "' is no PlayPage file: the name must end in .ppf");

    const auto prefs = settings::readStartupSettings(appDirFrom(appDir));
    std::string error;
    const auto file = checked(pages::readPlayPageFile(*path, &error), error);
    pages::PlayPage page;
    page.load(file.diagrams, file.threeFour ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour,
              pages::currentRepeatMarkers(file));

    options.countOffMeasures = countOff.value_or(prefs.countOff);
    options.bass = bass.value_or(file.bass);
    options.loop = loop.value_or(file.loop);
    options.strumPosition = strum.value_or(file.strumSpeed);
    options.tempo = playback::playTempo(tempo.value_or(file.tempo));
    options.startSlot = startSlot.value_or(0);
    if (options.startSlot % page.slotsPerMeasure() != 0)
        throw UsageError("events: --start must be the first slot of a measure, a multiple of " +
                         std::to_string(page.slotsPerMeasure()) + " on this " +
                         (file.threeFour ? "3/4" : "4/4") + " page; got " + std::to_string(options.startSlot));
    if (options.loop && !maxTicks) {
        const auto& loopRow = page.markers(page.keptCopy())[pages::PlayPage::LoopMark];
        for (int m = 0; m < page.measureCount(); ++m)
            if (loopRow[static_cast<std::size_t>(m)] != 0)
                throw std::runtime_error(*path + " plays forever: Loop Play is down and measure " +
                                         std::to_string(m + 1) +
                                         " carries the loop mark; give --max-ticks N or --loop off");
    }

    // The clock's part: take what the queue holds whenever the sequencer finds it full.
    playback::BoundedQueue queue(static_cast<std::size_t>(capacity));
    playback::PlayPageSequencer sequencer;
    sequencer.start(page, options, settings::voicesOf(prefs), queue);
    std::vector<TickedEvent> events;
    std::uint64_t tick = 0;
    bool pastLimit = false;
    for (;;) {
        const auto result = sequencer.fill(queue);
        for (const auto& e : queue.drain()) {
            tick += e.time;
            events.push_back({tick, e});
            if (maxTicks && tick > static_cast<std::uint64_t>(*maxTicks)) {
                pastLimit = true;
                break;
            }
        }
        if (pastLimit || result == playback::PlayPageSequencer::FillResult::AllQueued)
            break;
    }
    std::cout << eventText(events, json);
    return 0;
}

// ---- strum-events ------------------------------------------------------------------------------

int runStrumEvents(Args args)
{
    constexpr std::string_view kCommand = "strum-events";
    std::vector<std::string> positional;
    std::optional<std::string> fretsText;
    std::optional<int> strum;
    bool bass = false, count = false, fromRoot = false, json = false;
    std::string appDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--bass")
            bass = true;
        else if (a == "--count")
            count = true;
        else if (a == "--from-root")
            fromRoot = true;
        else if (a == "--json")
            json = true;
        else if (isOption(a, "--strum"))
            strum = numberIn(optionValue(args, i, "--strum"), kCommand, "--strum", -800, 0);
        else if (isOption(a, "--frets"))
            fretsText = optionValue(args, i, "--frets");
        else if (isOption(a, "--appdir"))
            appDir = optionValue(args, i, "--appdir");
        else if (a.starts_with("--"))
            throw UsageError("strum-events: unexpected argument '" + a + "'");
        else
            positional.push_back(a);
    }
    if (fretsText ? !positional.empty() : positional.size() != 2)
        throw UsageError("strum-events: expected FILE SLOT, or --frets FRETS (low E string first, e.g. x,3,2,0,1,0)");

    const auto prefs = settings::readStartupSettings(appDirFrom(appDir));
    const playback::Voices voices = settings::voicesOf(prefs);
    playback::StrumOptions chord;
    chord.countOff = count;
    chord.bass = bass;
    chord.strumPosition = strum.value_or(prefs.strumSpeed);
    playback::ScaleRunOptions scale;
    scale.bass = bass;
    scale.strumPosition = chord.strumPosition;
    scale.span = prefs.scaleFrets;
    scale.fromRoot = fromRoot;

    auto print = [json](const std::vector<playback::MidiEventRec>& events) {
        std::cout << eventText(playback::withTicks(events), json);
        return 0;
    };
    if (fretsText) {
        const FretList frets = parseFrets(*fretsText, kCommand);
        return print(playback::strumEvents(fretWork(frets, lowestPlayedNote(frets), {}), voices, chord));
    }

    const std::string& path = positional[0];
    const auto kind = pages::pageFileKindOf(path);
    if (!kind)
        throw UsageError("strum-events: '" + path +
                         "' is no page file: the name must end in .cpf, .cds, .ppf, .gpr, .prf or .spf");
    std::string error;
    auto slotIn = [&](int count) {
        return numberIn(positional[1], kCommand, "SLOT", 0, count - 1);
    };
    auto nothingThere = [&](int slot) {
        return std::runtime_error("slot " + std::to_string(slot) + " of " + path + " is empty: nothing to play");
    };
    auto strumOf = [&](const pages::DiagramRecord& d, int slot) {
        if (d.isEmpty())
            throw nothingThere(slot);
        return print(playback::strumEvents(d, voices, chord));
    };
    auto runOf = [&](const pages::ScaleRecord& r, int beginFret, int slot) {
        playback::ScaleRunResult result{};
        const auto events = playback::scaleRunEvents(r, beginFret, voices, scale, &result);
        if (result == playback::ScaleRunResult::Empty)
            throw nothingThere(slot);
        if (result == playback::ScaleRunResult::NotStandardTuning)
            throw std::runtime_error("slot " + std::to_string(slot) + " of " + path +
                                     " is not in standard tuning: Play Scale From Root stops without a note");
        return print(events);
    };

    switch (*kind) {
    case pages::PageFileKind::Chords: {
        const auto page = checked(pages::readChordPageFile(path, &error), error);
        const int slot = slotIn(static_cast<int>(page.cells.size()));
        return strumOf(page.cells[static_cast<std::size_t>(slot)], slot);
    }
    case pages::PageFileKind::ChordDesign: {
        const auto design = checked(pages::readDesignFile(path, &error), error);
        const int slot = slotIn(static_cast<int>(design.diagrams.size()));
        return strumOf(design.diagrams[static_cast<std::size_t>(slot)], slot);
    }
    case pages::PageFileKind::PlayPage: {
        // "Play Chord" on a slot: the PlayPage has no count-off; the page's strum speed is the bar's.
        const auto page = checked(pages::readPlayPageFile(path, &error), error);
        const int slot = slotIn(pages::PlayPage::kSlotCount);
        chord.playPage = true;
        chord.strumPosition = strum.value_or(page.strumSpeed);
        return strumOf(page.diagrams[static_cast<std::size_t>(slot)], slot);
    }
    case pages::PageFileKind::Print: {
        const auto page = checked(pages::readPrintPageFile(path, &error), error);
        const int slot = slotIn(static_cast<int>(page.cells.size()));
        const auto& cell = page.cells[static_cast<std::size_t>(slot)];
        if (cell.isEmpty())
            throw nothingThere(slot);
        if (cell.isChord)
            return strumOf(pages::printToChord(cell), slot);
        return runOf(pages::printToScale(cell), cell.baseFret, slot);
    }
    case pages::PageFileKind::Scales: {
        // SLOT = row x 6 + column: the row's scale in the column's position.
        const auto page = checked(pages::readScalePageFile(path, &error), error);
        const int slot = slotIn(static_cast<int>(page.rows.size()) * 6);
        const auto& row = page.rows[static_cast<std::size_t>(slot / 6)];
        return runOf(row, row.beginFret[static_cast<std::size_t>(slot % 6)], slot);
    }
    }
    return 0;
}

}  // namespace strumox::cli
