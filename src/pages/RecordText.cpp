#include "pages/RecordText.h"

namespace strumox::pages {

namespace {

// Anything at or below the blank counts as blank, as in the page files' padded texts.
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool hasBass(std::uint8_t bass, std::uint8_t root) { return bass % 12 != root; }

std::string noteList(const std::uint8_t* intervals, size_t count, std::uint8_t skip, int root,
                     const theory::NoteNames& names)
{
    std::string text;
    for (size_t i = 0; i < count; ++i)
        if (intervals[i] != skip)
            text += " " + names.note(root + intervals[i]);
    return text;
}

}  // namespace

bool isControlCharacter(unsigned char c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::string utf8FromLatin1(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string printableFromLatin1(std::string_view text)
{
    std::string shown(text);
    for (char& c : shown)
        if (isControlCharacter(static_cast<unsigned char>(c)))
            c = '?';
    return utf8FromLatin1(shown);
}

std::string trimRight(const std::string& text)
{
    size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string trimmed(const std::string& text)
{
    const std::string right = trimRight(text);
    size_t begin = 0;
    while (begin < right.size() && isBlank(right[begin]))
        ++begin;
    return right.substr(begin);
}

std::string chordTitle(const DiagramRecord& chord, const theory::NoteNames& names)
{
    std::string title = names.note(chord.root) + " " + chord.name;
    if (hasBass(chord.bass, chord.root))
        title += " /" + names.note(chord.bass % 12);
    return title;
}

std::string chordNotes(const DiagramRecord& chord, const theory::NoteNames& names)
{
    return noteList(chord.intervals.data(), chord.intervals.size(), theory::kNoInterval, chord.root, names);
}

std::string scaleNotes(const ScaleRecord& scale, const theory::NoteNames& names)
{
    std::string text;
    for (const int note : theory::scaleNotes(scale.intervals, scale.root))
        text += " " + names.note(note);
    return text;
}

std::array<std::string, 4> printTextLines(const PrintRecord& print, const theory::NoteNames& names)
{
    const bool chord = print.isChord != 0;
    std::string title = names.note(print.root) + " " + trimmed(print.name);
    if (chord && hasBass(print.bass, print.root))
        title += " /" + names.note(print.bass % 12);
    const std::string notes = chord ? noteList(print.intervals.data(), 7, theory::kNoInterval, print.root, names)
                                    : noteList(print.intervals.data(), print.intervals.size(), theory::kScaleListEnd,
                                               print.root, names);
    return {title, trimmed(notes), trimmed(print.formula),
            trimmed(theory::spellNoteNames(print.tuningName, names))};
}

std::string chordSetHeader(const DiagramRecord& first, const theory::NoteNames& names)
{
    return names.note(first.root) + " " + trimRight(first.name) + "   [ " + chordNotes(first, names) + " ] " +
           "   [ " + trimRight(first.formula) + " ]";
}

std::string scaleRowHeader(const ScaleRecord& scale, const theory::NoteNames& names)
{
    return names.note(scale.root) + " " + scale.name + " Scale" + "   [ " + scaleNotes(scale, names) + " ] " +
           "   [ " + trimRight(scale.formula) + " ] " + "Tuning: " + theory::spellNoteNames(scale.tuningName, names);
}

std::array<std::string, 4> designSlotLines(const DiagramRecord& chord, const theory::NoteNames& names)
{
    return {chordTitle(chord, names), trimmed(chordNotes(chord, names)), trimmed(chord.formula),
            trimmed(theory::spellNoteNames(chord.tuningName, names))};
}

}  // namespace strumox::pages
