#include "playback/IntervalCalculator.h"

#include <algorithm>
#include <filesystem>

#include "theory/ChordData.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordTypes.h"
#include "theory/ScaleData.h"
#include "theory/ScaleTypes.h"

namespace strumox::playback {

namespace {

constexpr std::uint8_t kOctaveMark = 99;
constexpr std::uint8_t kListEnd = 255;

// Milliseconds since the start of play as ticks at the default tempo (kDefaultTempo us a beat).
std::uint64_t ticksAt(std::int64_t ms)
{
    return static_cast<std::uint64_t>(ms * 1000 * kTicksPerBeat / kDefaultTempo);
}

std::uint8_t dataByte(int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 127)); }

}  // namespace

std::array<std::string, IntervalCalculator::kBoxCount> IntervalCalculator::boxNames(int root,
                                                                                     theory::Spelling spelling)
{
    const theory::NoteNames names(spelling);
    std::array<std::string, kBoxCount> boxes;
    for (int i = 0; i < kBoxCount; ++i)
        boxes[static_cast<std::size_t>(i)] = names.note(root + i);
    return boxes;
}

int IntervalCalculator::stepMs(int speedPosition)
{
    return kSlowest + kFastest - std::clamp(speedPosition, kSlowest, kFastest);
}

std::vector<int> IntervalCalculator::playedIntervals(Mode mode, std::span<const std::uint8_t> bytes)
{
    const std::size_t limit = mode == Mode::Scales ? kScaleIntervalBytes : kChordIntervalBytes;
    std::vector<int> played;
    for (std::size_t i = 0; i < std::min(limit, bytes.size()); ++i) {
        if (bytes[i] == kListEnd)
            break;
        if (bytes[i] == kOctaveMark) {
            played.push_back(12);
            break;
        }
        played.push_back(bytes[i]);
    }
    return played;
}

std::vector<IntervalCalculator::Step> IntervalCalculator::playPlan(Mode mode,
                                                                   std::span<const std::uint8_t> intervalBytes,
                                                                   int root, int program, int velocity,
                                                                   int speedPosition)
{
    const std::vector<int> intervals = playedIntervals(mode, intervalBytes);
    if (intervals.empty())
        return {};
    const int wait = stepMs(speedPosition);
    const std::uint8_t on = noteOn(0);
    const std::uint8_t vel = dataByte(velocity);
    auto noteOf = [root](int interval) { return dataByte(((root % 12) + 12) % 12 + interval + kBaseNote); };
    auto boxOf = [](int interval) { return static_cast<LitBoxes>(1u << (interval % 12)); };

    std::vector<Step> plan;
    std::int64_t elapsed = 0;  // ms from the start of play to the step being built
    LitBoxes lit = 0;
    for (std::size_t k = 0; k < intervals.size(); ++k) {
        Step step;
        const std::uint64_t tick = ticksAt(elapsed);
        if (k == 0)
            step.messages.push_back({tick, programChange(0), dataByte(program), 0});
        if (mode == Mode::Scales && k > 0)
            step.messages.push_back({tick, on, noteOf(intervals[k - 1]), 0});
        step.messages.push_back({tick, on, noteOf(intervals[k]), vel});
        lit = mode == Mode::Scales ? boxOf(intervals[k]) : static_cast<LitBoxes>(lit | boxOf(intervals[k]));
        step.lit = lit;
        // A chord is held one more step after its last note before it is let go.
        step.waitMs = mode == Mode::Chords && k + 1 == intervals.size() ? 2 * wait : wait;
        elapsed += step.waitMs;
        plan.push_back(std::move(step));
    }

    Step release;
    const std::uint64_t tick = ticksAt(elapsed);
    if (mode == Mode::Scales) {
        release.messages.push_back({tick, on, noteOf(intervals.back()), 0});
    } else {
        for (int interval : intervals)
            release.messages.push_back({tick, on, noteOf(interval), 0});
    }
    plan.push_back(std::move(release));
    return plan;
}

void IntervalCalculator::load(const std::string& appDir)
{
    m_scales.clear();
    m_chords.clear();
    m_problems.clear();
    std::error_code ec;

    const std::string scalePath = appDir + theory::kScaleFileName;
    if (std::filesystem::exists(scalePath, ec)) {
        std::string error;
        if (const auto scales = theory::readScaleFile(appDir, &error)) {
            for (const theory::ScaleDefinition& s : *scales)
                m_scales.push_back(s.intervals);
        } else {
            m_problems.push_back(error);
        }
    }

    const std::string formulaPath = appDir + std::string(theory::kFormulaFileName);
    if (std::filesystem::exists(formulaPath, ec)) {
        std::string error;
        if (const auto formulas = theory::readFormulaFile(formulaPath, &error)) {
            for (const theory::FormulaRecord& f : *formulas)
                m_chords.push_back(f.intervals);
        } else {
            m_problems.push_back(error);
        }
    }
}

std::vector<std::string> IntervalCalculator::itemNames(Mode mode) const
{
    std::vector<std::string> names;
    const int count = itemCount(mode);
    for (int i = 0; i < count; ++i) {
        const std::string_view name = mode == Mode::Scales ? theory::kScaleNames[static_cast<std::size_t>(i)]
                                                           : theory::kChordTypeCaptions[static_cast<std::size_t>(i)];
        names.emplace_back(name);
    }
    return names;
}

int IntervalCalculator::itemCount(Mode mode) const
{
    // The readers accept only whole files of exactly the built-in count.
    return static_cast<int>(mode == Mode::Scales ? m_scales.size() : m_chords.size());
}

std::span<const std::uint8_t> IntervalCalculator::itemIntervals(Mode mode, int index) const
{
    if (index < 0 || index >= itemCount(mode))
        return {};
    const auto i = static_cast<std::size_t>(index);
    if (mode == Mode::Scales)
        return m_scales[i];
    return m_chords[i];
}

}  // namespace strumox::playback
