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
#include "cli/SongArgs.h"
#include "pages/PageFiles.h"
#include "pages/PlayPage.h"
#include "pages/RecordConversions.h"
#include "playback/EventBuffers.h"
#include "playback/PlayPageSequencer.h"
#include "playback/SongRender.h"
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
    SongArgs song;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (song.take("events", args, i))
            continue;
        if (args[i] == "--json")
            json = true;
        else
            throw UsageError("events: unexpected argument '" + args[i] + "'");
    }
    const SongRun run = prepareSong("events", song);
    const auto& page = run.page;
    const auto& options = run.options;
    const auto maxTicks = song.maxTicks;
    if (const auto loopsAt = playback::endlessFrom(page, options); loopsAt && !maxTicks)
        throw std::runtime_error(endlessMessage(run.path, *loopsAt));
    const int capacity = song.queue.value_or(static_cast<int>(playback::MidiClock::kDefaultCapacity));

    // The clock's part: take what the queue holds whenever the sequencer finds it full.
    playback::BoundedQueue queue(static_cast<std::size_t>(capacity));
    playback::PlayPageSequencer sequencer;
    sequencer.start(page, options, run.voices, queue);
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
