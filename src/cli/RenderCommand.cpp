// strumox-cli render: a PlayPage's song written as a Standard MIDI File or rendered to a WAV file
// through the built-in synthesizer, the events made as `events` makes them (the same options,
// the same defaults) but played through the clock as the program's export does.
//
// A failure leaves no output file: both writers write OUT.tmp and rename it only when complete.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/CliCommon.h"
#include "pages/PageFiles.h"
#include "pages/PlayPage.h"
#include "playback/SongRender.h"
#include "playback/sinks/MidiFileWriter.h"
#include "playback/sinks/WavRenderer.h"
#include "settings/Settings.h"
#include "settings/SoundVoices.h"

namespace strumox::cli {

namespace {

int numberIn(const std::string& text, std::string_view option, long lowest, long highest)
{
    const auto v = wholeNumber(text);
    if (!v || *v < lowest || *v > highest)
        throw UsageError("render: " + std::string(option) + " must be a whole number " + std::to_string(lowest) +
                         ".." + std::to_string(highest) + "; got '" + text + "'");
    return *v;
}

bool onOff(const std::string& text, std::string_view option)
{
    if (text == "on" || text == "off")
        return text == "on";
    throw UsageError("render: " + std::string(option) + " takes on or off; got '" + text + "'");
}

bool isOption(const std::string& arg, std::string_view name)
{
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

enum class Output { Midi, Wav };

std::optional<Output> outputOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".mid" || ext == ".midi")
        return Output::Midi;
    if (ext == ".wav")
        return Output::Wav;
    return std::nullopt;
}

}  // namespace

int runRender(Args args)
{
    std::optional<std::string> path, out;
    playback::SequencerOptions options;
    std::optional<int> countOff, strum, tempo, startSlot, format;
    std::optional<bool> bass, loop;
    playback::SongRenderOptions render;
    std::string appDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string_view name) { return optionValue(args, i, name); };
        if (a == "--click")
            options.click = true;
        else if (a == "--count")
            options.count = true;
        else if (isOption(a, "-o"))
            out = value("-o");
        else if (isOption(a, "--format"))
            format = numberIn(value("--format"), "--format", 0, 1);
        else if (isOption(a, "--count-off"))
            countOff = numberIn(value("--count-off"), "--count-off", 1, 4);
        else if (isOption(a, "--bass"))
            bass = onOff(value("--bass"), "--bass");
        else if (isOption(a, "--loop"))
            loop = onOff(value("--loop"), "--loop");
        else if (isOption(a, "--strum"))
            strum = numberIn(value("--strum"), "--strum", -800, 0);
        else if (isOption(a, "--tempo"))
            tempo = numberIn(value("--tempo"), "--tempo", 10, 250);
        else if (isOption(a, "--start"))
            startSlot = numberIn(value("--start"), "--start", 0, pages::PlayPage::kSlotCount - 1);
        else if (isOption(a, "--max-ticks"))
            render.maxTicks = numberIn(value("--max-ticks"), "--max-ticks", 0, 2'000'000'000);
        else if (isOption(a, "--queue"))
            render.queueCapacity = static_cast<std::size_t>(numberIn(value("--queue"), "--queue", 1, 1'000'000));
        else if (isOption(a, "--appdir"))
            appDir = value("--appdir");
        else if (a.starts_with("-") || path)
            throw UsageError("render: unexpected argument '" + a + "'");
        else
            path = a;
    }
    if (!path)
        throw UsageError("render: expected a PlayPage file (.ppf)");
    if (pages::pageFileKindOf(*path) != pages::PageFileKind::PlayPage)
        throw UsageError("render: '" + *path + "' is no PlayPage file: the name must end in .ppf");
    if (!out)
        throw UsageError("render: expected -o OUT.mid or -o OUT.wav");
    const auto output = outputOf(*out);
    if (!output)
        throw UsageError("render: the output's name must end in .mid or .wav (it says which to write); got '" +
                         *out + "'");
    if (format && output != Output::Midi)
        throw UsageError("render: --format is for MIDI files; a WAV file has none");

    const auto prefs = settings::readStartupSettings(appDirFrom(appDir));
    std::string error;
    const auto file = pages::readPlayPageFile(*path, &error);
    if (!file)
        throw std::runtime_error(error);
    pages::PlayPage page;
    page.load(file->diagrams, file->threeFour ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour,
              pages::currentRepeatMarkers(*file));

    options.countOffMeasures = countOff.value_or(prefs.countOff);
    options.bass = bass.value_or(file->bass);
    options.loop = loop.value_or(file->loop);
    options.strumPosition = strum.value_or(file->strumSpeed);
    options.tempo = playback::playTempo(tempo.value_or(file->tempo));
    options.startSlot = startSlot.value_or(0);
    if (options.startSlot % page.slotsPerMeasure() != 0)
        throw UsageError("render: --start must be the first slot of a measure, a multiple of " +
                         std::to_string(page.slotsPerMeasure()) + " on this " + (file->threeFour ? "3/4" : "4/4") +
                         " page; got " + std::to_string(options.startSlot));

    const playback::RenderedSong song = playback::renderSong(page, options, settings::voicesOf(prefs), render);
    if (song.status == playback::RenderedSong::Status::Endless)
        throw std::runtime_error(*path + " plays forever: Loop Play is down and measure " +
                                 std::to_string(*playback::endlessFrom(page, options) + 1) +
                                 " carries the loop mark; give --max-ticks N or --loop off");

    if (*output == Output::Midi) {
        using Format = playback::MidiFileWriter::Format;
        playback::MidiFileWriter writer(song.tempo, format == 1 ? Format::TempoTrack : Format::SingleTrack);
        writer.setEndTick(song.endTick);
        if (const std::string failure = writer.write(*out, song.messages); !failure.empty())
            throw std::runtime_error(failure);
        return 0;
    }
    const playback::WavRenderer renderer;
    const playback::RenderResult result = renderer.render(*out, song.messages, song.tempo);
    if (result.status != playback::RenderResult::Status::Written)
        throw std::runtime_error(result.message.empty() ? "cannot render " + *out : result.message);
    return 0;
}

}  // namespace strumox::cli
