#include "cli/SongArgs.h"

#include <stdexcept>

#include "pages/PageFiles.h"
#include "settings/Settings.h"
#include "settings/SoundVoices.h"

namespace strumox::cli {

namespace {

bool onOff(const std::string& text, std::string_view command, std::string_view option)
{
    if (text == "on" || text == "off")
        return text == "on";
    throw UsageError(std::string(command) + ": " + std::string(option) + " takes on or off; got '" + text + "'");
}

}  // namespace

int numberIn(const std::string& text, std::string_view command, std::string_view option, long lowest, long highest)
{
    const auto v = wholeNumber(text);
    if (!v || *v < lowest || *v > highest)
        throw UsageError(std::string(command) + ": " + std::string(option) + " must be a whole number " +
                         std::to_string(lowest) + ".." + std::to_string(highest) + "; got '" + text + "'");
    return *v;
}

bool isOption(const std::string& arg, std::string_view name)
{
    return arg == name || (arg.starts_with(name) && arg.size() > name.size() && arg[name.size()] == '=');
}

bool SongArgs::take(std::string_view command, Args args, std::size_t& i)
{
    const std::string& a = args[i];
    auto value = [&](std::string_view name) { return optionValue(args, i, name); };
    auto number = [&](std::string_view name, long lowest, long highest) {
        return numberIn(value(name), command, name, lowest, highest);
    };
    if (a == "--click")
        click = true;
    else if (a == "--count")
        count = true;
    else if (isOption(a, "--count-off"))
        countOff = number("--count-off", 1, 4);
    else if (isOption(a, "--bass"))
        bass = onOff(value("--bass"), command, "--bass");
    else if (isOption(a, "--loop"))
        loop = onOff(value("--loop"), command, "--loop");
    else if (isOption(a, "--strum"))
        strum = number("--strum", -800, 0);
    else if (isOption(a, "--tempo"))
        tempo = number("--tempo", 10, 250);
    else if (isOption(a, "--start"))
        startSlot = number("--start", 0, pages::PlayPage::kSlotCount - 1);
    else if (isOption(a, "--max-ticks"))
        maxTicks = number("--max-ticks", 0, 2'000'000'000);
    else if (isOption(a, "--queue"))
        queue = number("--queue", 1, 1'000'000);
    else if (isOption(a, "--appdir"))
        appDir = value("--appdir");
    else if (!a.starts_with("-") && !path)
        path = a;
    else
        return false;
    return true;
}

SongRun prepareSong(std::string_view command, const SongArgs& args)
{
    const std::string cmd(command);
    if (!args.path)
        throw UsageError(cmd + ": expected a PlayPage file (.ppf)");
    if (pages::pageFileKindOf(*args.path) != pages::PageFileKind::PlayPage)
        throw UsageError(cmd + ": '" + *args.path + "' is no PlayPage file: the name must end in .ppf");

    const auto prefs = settings::readStartupSettings(appDirFrom(args.appDir));
    std::string error;
    const auto file = pages::readPlayPageFile(*args.path, &error);
    if (!file)
        throw std::runtime_error(error);
    SongRun run;
    run.path = *args.path;
    run.threeFour = file->threeFour;
    run.page.load(file->diagrams, file->threeFour ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour,
                  pages::currentRepeatMarkers(*file));
    run.voices = settings::voicesOf(prefs);
    playback::SequencerOptions& o = run.options;
    o.click = args.click;
    o.count = args.count;
    o.countOffMeasures = args.countOff.value_or(prefs.countOff);
    o.bass = args.bass.value_or(file->bass);
    o.loop = args.loop.value_or(file->loop);
    o.strumPosition = args.strum.value_or(file->strumSpeed);
    o.tempo = playback::playTempo(args.tempo.value_or(file->tempo));
    o.startSlot = args.startSlot.value_or(0);
    if (o.startSlot % run.page.slotsPerMeasure() != 0)
        throw UsageError(cmd + ": --start must be the first slot of a measure, a multiple of " +
                         std::to_string(run.page.slotsPerMeasure()) + " on this " + (file->threeFour ? "3/4" : "4/4") +
                         " page; got " + std::to_string(o.startSlot));
    return run;
}

std::string endlessMessage(const std::string& path, int measure)
{
    return path + " plays forever: Loop Play is down and measure " + std::to_string(measure + 1) +
           " carries the loop mark; give --max-ticks N or --loop off";
}

}  // namespace strumox::cli
