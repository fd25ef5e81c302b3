// strumox-cli scale: the row a new Scales page row gets, as JSON and as text.
#include "theory/ChordTypes.h"
#include "theory/ScaleData.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include <sys/wait.h>

namespace fs = std::filesystem;
using namespace strumox::theory;

namespace {

const std::string kCli = STRUMOX_APPDIR "/strumox-cli";

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "strumox-cli-scale-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }  // without a trailing '/'
    std::string read(const std::string& name) const
    {
        std::ifstream in(m_path + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string m_path;
};

// A directory holding the scale file as the build writes it.
class ScaleDir : public TempDir {
public:
    ScaleDir() { writeScaleFile(path() + "/"); }
};

std::string shellQuoted(const std::string& s)
{
    std::string out = "'";
    for (const char c : s)
        out += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
};

CliRun runCli(const std::vector<std::string>& args)
{
    const TempDir scratch;
    std::string command = shellQuoted(kCli);
    for (const auto& a : args)
        command += " " + shellQuoted(a);
    command += " 2>" + shellQuoted(scratch.path() + "/stderr");

    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "popen failed for " << command;
        return run;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int wait = ::pclose(pipe);
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    run.err = scratch.read("stderr");
    return run;
}

// ---- A small strict JSON reader, enough for the command's output ------------------------------

struct Json;
using JsonObject = std::map<std::string, Json>;
using JsonArray = std::vector<Json>;
struct Json {
    std::variant<std::nullptr_t, double, std::string, JsonArray, JsonObject> v;

    const Json& operator[](const std::string& key) const
    {
        const auto& o = std::get<JsonObject>(v);
        const auto it = o.find(key);
        if (it == o.end())
            throw std::runtime_error("no field " + key);
        return it->second;
    }
    int integer() const { return static_cast<int>(std::get<double>(v)); }
    const std::string& text() const { return std::get<std::string>(v); }
    std::vector<int> integers() const
    {
        std::vector<int> out;
        for (const auto& e : std::get<JsonArray>(v))
            out.push_back(e.integer());
        return out;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& e : std::get<JsonArray>(v))
            out.push_back(e.text());
        return out;
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string text) : m_s(std::move(text)) {}

    Json document()
    {
        Json j = value();
        blanks();
        if (m_i != m_s.size())
            throw std::runtime_error("text after the JSON value");
        return j;
    }

private:
    void blanks()
    {
        while (m_i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[m_i])))
            ++m_i;
    }
    char peek()
    {
        blanks();
        if (m_i >= m_s.size())
            throw std::runtime_error("JSON ends early");
        return m_s[m_i];
    }
    void expect(char c)
    {
        if (peek() != c)
            throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(m_i));
        ++m_i;
    }
    std::string string()
    {
        expect('"');
        std::string out;
        while (m_i < m_s.size() && m_s[m_i] != '"') {
            char c = m_s[m_i++];
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("raw control character in a string");
            if (c == '\\') {
                if (m_i >= m_s.size())
                    throw std::runtime_error("bad escape");
                const char e = m_s[m_i++];
                switch (e) {
                case '"': case '\\': case '/': c = e; break;
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case 'u':
                    c = static_cast<char>(std::stoi(m_s.substr(m_i, 4), nullptr, 16));
                    m_i += 4;
                    break;
                default: throw std::runtime_error("bad escape");
                }
            }
            out += c;
        }
        expect('"');
        return out;
    }
    Json value()
    {
        const char c = peek();
        if (c == '{') {
            ++m_i;
            JsonObject o;
            if (peek() != '}') {
                for (;;) {
                    std::string key = string();
                    expect(':');
                    if (!o.emplace(key, value()).second)
                        throw std::runtime_error("field twice: " + key);
                    if (peek() == ',') {
                        ++m_i;
                        continue;
                    }
                    break;
                }
            }
            expect('}');
            return {o};
        }
        if (c == '[') {
            ++m_i;
            JsonArray a;
            if (peek() != ']') {
                for (;;) {
                    a.push_back(value());
                    if (peek() == ',') {
                        ++m_i;
                        continue;
                    }
                    break;
                }
            }
            expect(']');
            return {a};
        }
        if (c == '"')
            return {string()};
        std::size_t used = 0;
        const double d = std::stod(m_s.substr(m_i), &used);
        m_i += used;
        return {d};
    }

    std::string m_s;
    std::size_t m_i = 0;
};

Json parseJson(const std::string& text)
{
    return JsonReader(text).document();
}

class CliScale : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fs::exists(kCli)) << kCli << " is missing: build the strumox-cli target first";
    }
};

// ---- JSON ------------------------------------------------------------------------------------

struct JsonCase {
    const char* name;
    std::vector<std::string> args;  // scale and key, perhaps --sharps
    int index;
    int root;
    std::vector<std::string> notes;  // spelled as the program spells them, from the root up
};

void PrintTo(const JsonCase& c, std::ostream* os)
{
    *os << c.name;
}

class CliScaleJson : public CliScale, public testing::WithParamInterface<JsonCase> {};

TEST_P(CliScaleJson, PrintsTheNewRowAndItsNotes)
{
    const ScaleDir dir;
    const JsonCase& c = GetParam();
    std::vector<std::string> args{"scale"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.insert(args.end(), {"--json", "--appdir", dir.path()});
    const CliRun r = runCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.lines().size(), 1u) << r.out;

    const Json j = parseJson(r.out);
    const ScaleDefinition& def = builtInScales()[size_t(c.index)];
    EXPECT_EQ(j["empty"].integer(), 0);
    EXPECT_EQ(j["name"].text(), kScaleNames[size_t(c.index)]);
    EXPECT_EQ(j["tuningName"].text(), " E A D G B E");
    EXPECT_EQ(j["formula"].text(), def.formula);
    EXPECT_EQ(j["tuning"].integers(), (std::vector<int>{64, 59, 55, 50, 45, 40}));
    EXPECT_EQ(j["intervals"].integers(), std::vector<int>(def.intervals.begin(), def.intervals.end()));
    EXPECT_EQ(j["beginFret"].integers(), (std::vector<int>{1, 4, 8, 12, 16, 20}));
    EXPECT_EQ(j["root"].integer(), c.root);
    EXPECT_EQ(j["notes"].texts(), c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliScaleJson,
    testing::Values(
        JsonCase{"DorianByIndex", {"1", "D"}, 1, 2, {"D", "E", "F", "G", "A", "B", "C"}},
        JsonCase{"DorianByNameAnyCase", {"dorian (MINOR)", "2"}, 1, 2, {"D", "E", "F", "G", "A", "B", "C"}},
        JsonCase{"MinorPentatonicInA", {"Minor Pentatonic", "A"}, 10, 9, {"A", "C", "D", "E", "G"}},
        JsonCase{"EnigmaticInCFlats", {"Enigmatic", "C"}, 23, 0, {"C", "Db", "E", "Gb", "Ab", "Bb", "B"}},
        JsonCase{"EnigmaticInCSharps", {"23", "C", "--sharps"}, 23, 0, {"C", "C#", "E", "F#", "G#", "A#", "B"}},
        JsonCase{"SuperLocrianOnG", {"JM 7 (Super Locrian)", "G"}, 46, 7, {"G", "Ab", "Bb", "B", "Db", "Eb", "F"}},
        JsonCase{"HarmonicMinorOnSharpKey", {"Harmonic Minor (HM)", "F#", "--sharps"}, 33, 6,
                 {"F#", "G#", "A", "B", "C#", "D", "F"}},
        JsonCase{"NameThatStartsWithDigits", {"13b9", "Bb"}, 31, 10, {"Bb", "B", "D", "Eb", "F", "G", "Ab"}},
        JsonCase{"FlatKeyNameWithSmallLetter", {"Whole Tone", "db"}, 15, 1, {"Db", "Eb", "F", "G", "A", "B"}}),
    [](const testing::TestParamInfo<JsonCase>& info) { return std::string(info.param.name); });

TEST_F(CliScale, ReadsTheRecordFromTheFileNotFromItsOwnTable)
{
    const ScaleDir dir;
    // Overwrite record 5 (Mixolydian) with a hand-made one: a major triad spelled out.
    ScaleDefinition mine;
    mine.intervals = {0, 4, 7, 99, 99, 99, 99, 99, 99, 99};
    mine.formula = "1 3 5";
    const auto bytes = mine.toBytes();
    {
        std::fstream f(dir.path() + "/kqs.dat", std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(5 * 37);
        f.write(reinterpret_cast<const char*>(bytes.data()), 37);
    }
    const CliRun r = runCli({"scale", "Mixolydian", "C", "--json", "--appdir", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseJson(r.out);
    EXPECT_EQ(j["name"].text(), "Mixolydian");
    EXPECT_EQ(j["formula"].text(), "1 3 5");
    EXPECT_EQ(j["notes"].texts(), (std::vector<std::string>{"C", "E", "G"}));
}

// ---- Text ------------------------------------------------------------------------------------

TEST_F(CliScale, TextStartsWithTheRowHeadingThenTheFields)
{
    const ScaleDir dir;
    const CliRun r = runCli({"scale", "1", "D", "--appdir", dir.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = r.lines();
    ASSERT_GE(lines.size(), 6u) << r.out;
    // Root, name, " Scale", three blanks, the notes in brackets (each after a blank), then the
    // formula in brackets and the tuning name, which itself starts with a blank.
    EXPECT_EQ(lines[0], "D Dorian (Minor) Scale   [  D E F G A B C ]    [ 1 2 b3 4 5 6 b7 ] Tuning:  E A D G B E");
    const std::string all = r.out;
    EXPECT_NE(all.find("Dorian (Minor)\n"), std::string::npos) << all;
    EXPECT_NE(all.find("1 2 b3 4 5 6 b7\n"), std::string::npos) << all;
    EXPECT_NE(all.find(" D E F G A B C\n"), std::string::npos) << all;
    EXPECT_NE(all.find(" 1 4 8 12 16 20\n"), std::string::npos) << all;
}

TEST_F(CliScale, SharpsRenameTheNotesOnly)
{
    const ScaleDir dir;
    const CliRun flats = runCli({"scale", "Whole Tone", "1", "--appdir", dir.path()});
    const CliRun sharps = runCli({"scale", "Whole Tone", "1", "--sharps", "--appdir", dir.path()});
    ASSERT_EQ(flats.status, 0) << flats.err;
    ASSERT_EQ(sharps.status, 0) << sharps.err;
    EXPECT_NE(flats.out.find(" Db Eb F G A B\n"), std::string::npos) << flats.out;
    EXPECT_NE(sharps.out.find(" C# D# F G A B\n"), std::string::npos) << sharps.out;
    EXPECT_NE(sharps.out.find("1 2 3 #4 #5 b7\n"), std::string::npos) << "the formula is not respelled";
}

// ---- Failures --------------------------------------------------------------------------------

TEST_F(CliScale, MissingScaleFileFailsWithTheUsersMessage)
{
    const TempDir empty;
    const CliRun r = runCli({"scale", "0", "C", "--appdir", empty.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "strumox-cli: Could Not Find Scale Data File.\n");
}

TEST_F(CliScale, ShortScaleFileFailsWithAReadError)
{
    const ScaleDir dir;
    fs::resize_file(dir.path() + "/kqs.dat", 10 * 37);
    const CliRun r = runCli({"scale", "40", "C", "--appdir", dir.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("kqs.dat"), std::string::npos) << r.err;
    EXPECT_EQ(runCli({"scale", "9", "C", "--appdir", dir.path()}).status, 0) << "records before the cut still read";
}

struct BadScaleUsage {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const BadScaleUsage& c, std::ostream* os)
{
    *os << c.name;
}

class CliScaleBadUsage : public CliScale, public testing::WithParamInterface<BadScaleUsage> {};

TEST_P(CliScaleBadUsage, ExitsWithTwoAndShowsUsage)
{
    const ScaleDir dir;
    std::vector<std::string> args = GetParam().args;
    args.insert(args.end(), {"--appdir", dir.path()});
    const CliRun r = runCli(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Usage: strumox-cli"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliScaleBadUsage,
    testing::Values(BadScaleUsage{"NoKey", {"scale", "0"}, "needs a scale"},
                    BadScaleUsage{"ThreeWords", {"scale", "0", "C", "D"}, "needs a scale"},
                    BadScaleUsage{"IndexPastTheMenu", {"scale", "47", "C"}, "unknown scale '47'"},
                    BadScaleUsage{"NegativeIndex", {"scale", "-1", "C"}, "unknown scale '-1'"},
                    BadScaleUsage{"UnknownName", {"scale", "Bebop", "C"}, "unknown scale 'Bebop'"},
                    BadScaleUsage{"LetterOutsideAToG", {"scale", "0", "H"}, "unknown key 'H'"},
                    BadScaleUsage{"KeyNumberTwelve", {"scale", "0", "12"}, "unknown key '12'"},
                    BadScaleUsage{"KeyWithTwoAccidentals", {"scale", "0", "C##"}, "unknown key 'C##'"},
                    BadScaleUsage{"UnknownOption", {"scale", "0", "C", "--xml"}, "unexpected argument '--xml'"}),
    [](const testing::TestParamInfo<BadScaleUsage>& info) { return std::string(info.param.name); });

TEST_F(CliScale, HelpNamesTheCommand)
{
    const CliRun r = runCli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("scale INDEX|NAME KEY"), std::string::npos) << r.out;
}

}  // namespace
