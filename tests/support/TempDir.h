#pragma once
// Scratch directories and whole-file reads and writes for the GoogleTest suites.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace strumox::testsupport {

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The file's bytes; empty when it cannot be read.
inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Without the line ends; a last line without '\n' still counts.
inline std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() : TempDir(std::filesystem::temp_directory_path()) {}
    // Under `parent` instead: a memory file system for a test that writes thousands of files,
    // each synced to the disk by the program's writers.
    explicit TempDir(const std::filesystem::path& parent)
    {
        std::string pattern = (parent / "strumox-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }  // without a trailing '/'
    std::string dir() const { return m_path + "/"; }     // the program-directory form: ends with '/'
    std::string file(const std::string& name) const { return m_path + "/" + name; }

    void write(const std::string& name, const std::string& text) const { writeText(file(name), text); }
    std::string read(const std::string& name) const { return readText(file(name)); }
    std::vector<std::string> lines(const std::string& name) const { return splitLines(read(name)); }

private:
    std::string m_path;
};

}  // namespace strumox::testsupport
