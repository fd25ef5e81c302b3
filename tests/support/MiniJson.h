#pragma once
// A small strict JSON reader, enough for strumox-cli's output: objects, arrays, strings and
// integers. It refuses what the program must never print (a field twice, a raw control
// character, text after the value, a fraction), and an accessor of the wrong kind throws, so a
// test that reads the wrong field fails instead of comparing a default.
#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace strumox::testsupport {

class Json {
public:
    enum class Kind { Number, String, Array, Object };

    Kind kind() const { return m_kind; }

    long number() const { return checked(Kind::Number, "a number").m_number; }
    int integer() const { return static_cast<int>(number()); }
    const std::string& text() const { return checked(Kind::String, "a string").m_text; }
    const std::vector<Json>& items() const { return checked(Kind::Array, "an array").m_items; }
    const std::map<std::string, Json>& fields() const { return checked(Kind::Object, "an object").m_fields; }

    const Json& operator[](const std::string& key) const
    {
        const auto& o = fields();
        const auto it = o.find(key);
        if (it == o.end())
            throw std::runtime_error("no field " + key);
        return it->second;
    }

    std::vector<long> numbers() const
    {
        std::vector<long> out;
        for (const Json& j : items())
            out.push_back(j.number());
        return out;
    }
    std::vector<int> integers() const
    {
        std::vector<int> out;
        for (const Json& j : items())
            out.push_back(j.integer());
        return out;
    }
    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const Json& j : items())
            out.push_back(j.text());
        return out;
    }

private:
    friend class JsonReader;

    const Json& checked(Kind wanted, const char* what) const
    {
        if (m_kind != wanted)
            throw std::runtime_error(std::string("JSON value is not ") + what);
        return *this;
    }

    Kind m_kind = Kind::Number;
    long m_number = 0;
    std::string m_text;
    std::vector<Json> m_items;
    std::map<std::string, Json> m_fields;
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
                case 'b': c = '\b'; break;
                case 'f': c = '\f'; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'u':
                    // Only the control characters come escaped, so one byte holds the value.
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
    // Reads comma-separated elements up to `close`; the opening bracket is already taken.
    template <typename Element>
    void elements(char close, Element element)
    {
        if (peek() != close) {
            for (;;) {
                element();
                if (peek() != ',')
                    break;
                ++m_i;
            }
        }
        expect(close);
    }
    Json integer()
    {
        const std::size_t start = m_i;
        if (m_i < m_s.size() && m_s[m_i] == '-')
            ++m_i;
        const std::size_t digits = m_i;
        while (m_i < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[m_i])))
            ++m_i;
        if (m_i == digits)
            throw std::runtime_error("no JSON value at " + std::to_string(start));
        if (m_i < m_s.size() && (m_s[m_i] == '.' || m_s[m_i] == 'e' || m_s[m_i] == 'E'))
            throw std::runtime_error("not an integer at " + std::to_string(start));
        Json j;
        j.m_kind = Json::Kind::Number;
        j.m_number = std::stol(m_s.substr(start, m_i - start));
        return j;
    }
    Json value()
    {
        Json j;
        const char c = peek();
        if (c == '{') {
            ++m_i;
            j.m_kind = Json::Kind::Object;
            elements('}', [&] {
                std::string key = string();
                expect(':');
                if (!j.m_fields.emplace(key, value()).second)
                    throw std::runtime_error("field twice: " + key);
            });
            return j;
        }
        if (c == '[') {
            ++m_i;
            j.m_kind = Json::Kind::Array;
            elements(']', [&] { j.m_items.push_back(value()); });
            return j;
        }
        if (c == '"') {
            j.m_kind = Json::Kind::String;
            j.m_text = string();
            return j;
        }
        return integer();
    }

    std::string m_s;
    std::size_t m_i = 0;
};

inline Json parseJson(const std::string& text)
{
    return JsonReader(text).document();
}

}  // namespace strumox::testsupport
