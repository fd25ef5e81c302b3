#include "theory/Notes.h"

namespace strumox::theory {

namespace {

const std::array<std::string, 12> kFlatNames{"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
const std::array<std::string, 12> kSharpNames{"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

std::array<std::string, kOctaveNameCount> buildOctaveNames(const std::array<std::string, 12>& names)
{
    std::array<std::string, kOctaveNameCount> out;
    for (int i = 0; i < kOctaveNameCount; ++i) {
        const int midi = kLowestOpenNote + i;
        // MIDI 60 is C4: the octave digit changes at each C.
        out[static_cast<size_t>(i)] = names[static_cast<size_t>(midi % 12)] + std::to_string(midi / 12 - 1);
    }
    return out;
}

const std::array<std::string, 24> kIntervalNames{
    "1", "b2", "2", "b3", "3", "4", "b5", "5", "#5", "6", "b7", "7",
    "",  "b9", "9", "#9", "",  "11", "#11", "", "b13", "13", "", ""};

const std::string kEmpty;

int mod12(int n) { return ((n % 12) + 12) % 12; }

}  // namespace

const std::array<std::string, 12>& noteNameTable(Spelling spelling)
{
    return spelling == Spelling::Flats ? kFlatNames : kSharpNames;
}

const std::array<std::string, kOctaveNameCount>& octaveNameTable(Spelling spelling)
{
    static const auto flats = buildOctaveNames(kFlatNames);
    static const auto sharps = buildOctaveNames(kSharpNames);
    return spelling == Spelling::Flats ? flats : sharps;
}

const std::string& NoteNames::note(int n) const
{
    return noteNameTable(m_spelling)[static_cast<size_t>(mod12(n))];
}

const std::string& NoteNames::octaveName(int midi) const
{
    if (midi < kLowestOpenNote || midi > kHighestOpenNote)
        return kEmpty;
    return octaveNameTable(m_spelling)[static_cast<size_t>(midi - kLowestOpenNote)];
}

std::string spellNoteNames(const std::string& text, const NoteNames& names)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    auto noteOf = [](const std::string& word) {
        for (int n = 0; n < 12; ++n)
            if (word == kFlatNames[static_cast<size_t>(n)] || word == kSharpNames[static_cast<size_t>(n)])
                return n;
        return -1;
    };
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            out += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && !isBlank(text[end]))
            ++end;
        const int n = noteOf(text.substr(i, end - i));
        if (n < 0)
            return text;
        out += names.note(n);
        i = end;
    }
    return out;
}

const std::string& intervalName(int semitones)
{
    if (semitones < 0 || semitones >= static_cast<int>(kIntervalNames.size()))
        return kEmpty;
    return kIntervalNames[static_cast<size_t>(semitones)];
}

std::string hoverIntervalText(int note, int root)
{
    const int k = mod12(note - root);
    std::string text = intervalName(k);
    const std::string& compound = intervalName(k + 12);
    if (!compound.empty())
        text += " / " + compound;
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

IntervalList intervalsOfFingering(const SoundingNotes& sounding, int root, const CompoundFlags& flags)
{
    IntervalList list;
    list.fill(kNoInterval);
    list[0] = 0;
    std::array<bool, 12> present{};
    for (auto note : sounding)
        if (note != 0)
            present[static_cast<size_t>(mod12(note - root))] = true;
    size_t next = 1;
    for (int k = 1; k <= 11; ++k)
        if (present[static_cast<size_t>(k)] && !flags[static_cast<size_t>(k)])
            list[next++] = static_cast<std::uint8_t>(k);
    for (int k = 1; k <= 9; ++k)
        if (present[static_cast<size_t>(k)] && flags[static_cast<size_t>(k)])
            list[next++] = static_cast<std::uint8_t>(k + 12);
    return list;
}

int stepOpenString(int midi, int delta)
{
    const int span = kOctaveNameCount;
    return kLowestOpenNote + (((midi - kLowestOpenNote + delta) % span) + span) % span;
}

bool isStandardTuning(const Tuning& t) { return t == kStandardTuning; }

std::string tuningName(const Tuning& t, const NoteNames& names)
{
    if (isStandardTuning(t))
        return "Standard";
    std::string out;
    for (int s = 5; s >= 0; --s)
        out += names.note(t[static_cast<size_t>(s)]) + " ";
    return out;
}

}  // namespace strumox::theory
