#pragma once
// The program's sectioned settings file ("[Section]" lines, then "Key=Value" lines).
//
// One IniFile object is one batch: construct it (the file is read whole and closed), read and
// write through it, then commit(). No handle stays open between batches.
//
// File form, as this layer reads and writes it:
// - Encoding: UTF-8, taken as bytes. A leading UTF-8 byte-order mark is accepted and kept.
// - Line ends: LF, CRLF or a lone CR on read, mixed freely (a CR directly followed by LF is one
//   line end); every line is written back with LF, so a commit turns a CRLF or CR file into LF.
// - A line whose first non-blank character is '[' and which holds a ']' opens a section; the name
//   is the text between them without surrounding blanks. Other '[' lines are kept, never keys.
// - A line whose first non-blank character is ';' or '#' is a comment.
// - Inside a section, "Key=Value" is a key: blanks around the key and around the value are
//   dropped. A non-blank line without '=' is a key without a value: it is listed by sectionKeys()
//   (as the instrument names of "General MIDI" may be) but reads give the default.
// - Lines before the first section are kept but never read.
// - Section and key names compare case-insensitively (ASCII letters only).
// - A section name that occurs more than once is one section whose keys are those of all its
//   blocks in file order. A key that occurs more than once: the first one wins on read.
//
// The file is parsed once, when the batch begins, into an index of sections and their key lines,
// so a read costs a lookup however long the file is; writes keep that index current.
//
// Writing changes only what it must: a rewritten key keeps its line (and the file's spelling of
// the key name), a new key goes right after the last key of its section, and a key of a missing
// section appends that section at the end of the file. Every other section, key, comment and
// blank line stays untouched and in place.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace strumox::settings {

// The settings file could not be replaced; the old file is still whole.
// Text cut after `maxChars` UTF-8 characters, never inside one (how values are held to length).
std::string cutToChars(std::string_view s, std::size_t maxChars);

class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::string& path);
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

class IniFile {
public:
    // Values longer than this many characters (UTF-8 code points) are cut on read.
    static constexpr std::size_t kMaxValueChars = 1023;
    // The key listing holds names, each with a terminator, plus a final terminator, in this many
    // characters; names that do not fit whole are left out.
    static constexpr std::size_t kKeyListCapacity = 8192;

    // Reads the file whole (a FIFO or device in its place is refused at once, never waited on).
    // A missing file is an empty one. A file that exists but cannot be read (no permission, an
    // I/O error, not a regular file, absurdly large) also reads as empty, and the batch will not
    // write over it: see unreadable().
    explicit IniFile(std::string path);

    const std::string& path() const { return m_path; }

    // Why the file exists but could not be read ("Permission denied", "not a regular file" ...);
    // empty when it was read or is missing. commit() then refuses any change, so what the user
    // keeps there is never replaced by defaults.
    const std::string& unreadable() const { return m_unreadable; }

    // The key's value cut to kMaxValueChars, or def when the key is absent or has no value.
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    // "0x"/"0X" followed by hexadecimal digits (at most 32 bits, taken as a two's-complement
    // pattern so "0xFFFFFFFF" is -1) when the text is longer than 2 characters; otherwise an
    // optionally signed decimal within int. Anything else, including trailing text, gives def.
    int readInteger(const std::string& section, const std::string& key, int def) const;
    // An integer as readInteger(); non-zero is true.
    bool readBool(const std::string& section, const std::string& key, bool def) const;

    // A line break inside a value would split the entry, so each one is written as a blank.
    // Section and key names must not contain line breaks, a key no '=' and a section no ']'.
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);  // decimal
    void writeBool(const std::string& section, const std::string& key, bool value);    // "1" / "0"

    // Key names as spelled in the file, in file order, duplicates included (a key's position can
    // carry meaning, as the program number in "General MIDI" does). Limited by kKeyListCapacity.
    std::vector<std::string> sectionKeys(const std::string& section) const;
    bool hasSection(const std::string& section) const;
    // Removes every block of the section: its header and all lines up to the next section.
    void eraseSection(const std::string& section);

    // Does nothing unless a write or erase changed the content. Otherwise replaces the file
    // through fileio::writeFileAtomically (a temporary beside it renamed over it; through a
    // symbolic link to its target; the old permission bits kept; a read-only file refused).
    // Throws SettingsWriteError on any failure, and when the file was unreadable at the start of
    // the batch; the old file is then untouched and no ".tmp" is left.
    void commit();

private:
    using LineId = std::uint32_t;  // stable for the life of the batch, whatever is inserted or erased
    static constexpr LineId kNoLine = UINT32_MAX;

    struct Line {
        std::uint32_t offset = 0;  // of the text in m_original, unless edited
        std::uint32_t length = 0;
        std::int32_t edited = -1;  // index into m_edited when the batch rewrote or added the line
        LineId prev = kNoLine;     // file order
        LineId next = kNoLine;
    };

    // Every block of one section (names compare case-insensitively, so the index is keyed by the
    // ASCII-lowercased name).
    struct Section {
        std::vector<LineId> headers;  // file order
        std::vector<LineId> keys;     // key lines of all blocks, file order, duplicates included
        // Lowercased key name -> its first line; built on the first lookup in a long section.
        mutable std::unordered_map<std::string, LineId> firstKey;
        mutable bool mapped = false;
    };

    std::string_view lineText(LineId id) const;  // without its line end
    void setLineText(LineId id, std::string text);
    LineId insertAfter(LineId after, std::string text);  // kNoLine: at the start
    void unlink(LineId id);
    const Section* findSection(std::string_view name) const;
    LineId findKey(const std::string& section, const std::string& key) const;
    std::string serialise() const;

    std::string m_path;
    std::string m_unreadable;
    std::string m_original;               // the file's bytes as read
    std::vector<Line> m_lines;            // indexed by LineId, including erased ones
    std::vector<std::string> m_edited;    // texts of rewritten and new lines
    LineId m_first = kNoLine;
    LineId m_last = kNoLine;
    std::unordered_map<std::string, Section> m_sections;
    bool m_byteOrderMark = false;
    bool m_changed = false;
};

}  // namespace strumox::settings
