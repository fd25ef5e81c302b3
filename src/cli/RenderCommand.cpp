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
#include "cli/SongArgs.h"
#include "pages/PageFiles.h"
#include "pages/PlayPage.h"
#include "playback/SongRender.h"
#include "playback/sinks/MidiFileWriter.h"
#include "playback/sinks/WavRenderer.h"

namespace strumox::cli {

namespace {

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
    SongArgs songArgs;
    std::optional<std::string> out;
    std::optional<int> format;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (songArgs.take("render", args, i))
            continue;
        if (isOption(args[i], "-o"))
            out = optionValue(args, i, "-o");
        else if (isOption(args[i], "--format"))
            format = numberIn(optionValue(args, i, "--format"), "render", "--format", 0, 1);
        else
            throw UsageError("render: unexpected argument '" + args[i] + "'");
    }
    if (!songArgs.path)
        throw UsageError("render: expected a PlayPage file (.ppf)");
    if (!out)
        throw UsageError("render: expected -o OUT.mid or -o OUT.wav");
    const auto output = outputOf(*out);
    if (!output)
        throw UsageError("render: the output's name must end in .mid or .wav (it says which to write); got '" +
                         *out + "'");
    if (format && output != Output::Midi)
        throw UsageError("render: --format is for MIDI files; a WAV file has none");

    const SongRun run = prepareSong("render", songArgs);
    const auto& page = run.page;
    const auto& options = run.options;
    playback::SongRenderOptions render;
    if (songArgs.maxTicks)
        render.maxTicks = *songArgs.maxTicks;
    if (songArgs.queue)
        render.queueCapacity = static_cast<std::size_t>(*songArgs.queue);
    const playback::RenderedSong song = playback::renderSong(page, options, run.voices, render);
    if (song.status == playback::RenderedSong::Status::Endless)
        throw std::runtime_error(endlessMessage(run.path, *playback::endlessFrom(page, options)));

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
