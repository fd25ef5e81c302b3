#pragma once
// The program's sectioned settings file ("[Section]" lines, then "Key=Value" lines).
//
// One IniFile object is one batch: construct it (the file is read whole and closed), read and
// write through it, then commit(). No handle stays open between batches.
//
// File form, as this layer reads and writes it:
// - Encoding: UTF-8, taken as bytes. A leading UTF-8 byte-order mark is accepted and kept.
// - Line ends: LF or CRLF on read; every line is written back with LF.
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
// Writing changes only what it must: a rewritten key keeps its line (and the file's spelling of
// the key name), a new key goes right after the last key of its section, and a key of a missing
// section appends that section at the end of the file. Every other section, key, comment and
// blank line stays untouched and in place.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace strumox::settings {

// The settings file could not be replaced; the old file is still whole.
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

    // Reads the file; a missing or unreadable file is an empty one.
    explicit IniFile(std::string path);

    const std::string& path() const { return m_path; }

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

    // Does nothing unless a write or erase changed the content. Otherwise writes path() + ".tmp"
    // and renames it over path(), keeping the old file's permission bits. Throws
    // SettingsWriteError on any failure; the old file is then untouched and no ".tmp" is left.
    void commit();

private:
    std::vector<std::size_t> keyLines(const std::string& section) const;
    std::ptrdiff_t findKey(const std::string& section, const std::string& key) const;
    std::string serialise() const;

    std::string m_path;
    std::vector<std::string> m_lines;  // without line ends
    bool m_byteOrderMark = false;
    bool m_changed = false;
};

}  // namespace strumox::settings
