#pragma once
// A small strict JSON reader, enough for strumox-cli's output: objects, arrays, strings,
// integers and true/false. It refuses what the program must never print (a field twice, a raw control
// character, bytes that are not UTF-8, a broken escape, text after the value, a fraction, a
// leading zero), and an accessor of the wrong kind throws, so a test that reads the wrong field
// fails instead of comparing a default. Strings come back in UTF-8, escapes decoded.
#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace strumox::testsupport {

class Json {
public:
    enum class Kind { Number, String, Array, Object, Boolean };

    Kind kind() const { return m_kind; }

    long number() const { return checked(Kind::Number, "a number").m_number; }
    int integer() const { return static_cast<int>(number()); }
    bool boolean() const { return checked(Kind::Boolean, "true or false").m_number != 0; }
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
    // JSON's four blanks only; a vertical tab or form feed is not one.
    void blanks()
    {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t' || m_s[m_i] == '\n' || m_s[m_i] == '\r'))
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
    static void appendUtf8(std::string& out, unsigned long cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    // Exactly four hex digits after "\u".
    unsigned long hex4()
    {
        if (m_i + 4 > m_s.size())
            throw std::runtime_error("short \\u escape");
        unsigned long v = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = m_s[m_i++];
            v <<= 4;
            if (h >= '0' && h <= '9')
                v |= static_cast<unsigned long>(h - '0');
            else if (h >= 'a' && h <= 'f')
                v |= static_cast<unsigned long>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                v |= static_cast<unsigned long>(h - 'A' + 10);
            else
                throw std::runtime_error("bad hex digit in \\u escape");
        }
        return v;
    }
    // One raw UTF-8 sequence starting at m_i, copied to out: no stray continuation byte, no
    // overlong form, no surrogate, nothing above U+10FFFF, no sequence cut short.
    void utf8Sequence(std::string& out)
    {
        const auto lead = static_cast<unsigned char>(m_s[m_i]);
        int length = 0;
        unsigned long cp = 0, lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, lowest = 0x10000;
        } else {
            throw std::runtime_error("byte that starts no UTF-8 sequence at " + std::to_string(m_i));
        }
        if (m_i + static_cast<std::size_t>(length) > m_s.size())
            throw std::runtime_error("UTF-8 sequence cut short");
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(m_s[m_i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                throw std::runtime_error("UTF-8 sequence cut short at " + std::to_string(m_i));
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw std::runtime_error("invalid UTF-8 at " + std::to_string(m_i));
        out.append(m_s, m_i, static_cast<std::size_t>(length));
        m_i += static_cast<std::size_t>(length);
    }
    std::string string()
    {
        expect('"');
        std::string out;
        while (m_i < m_s.size() && m_s[m_i] != '"') {
            const auto byte = static_cast<unsigned char>(m_s[m_i]);
            if (byte < 0x20)
                throw std::runtime_error("raw control character in a string");
            if (byte >= 0x80) {
                utf8Sequence(out);
                continue;
            }
            ++m_i;
            if (byte != '\\') {
                out += static_cast<char>(byte);
                continue;
            }
            if (m_i >= m_s.size())
                throw std::runtime_error("bad escape");
            const char e = m_s[m_i++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned long cp = hex4();
                if (cp >= 0xDC00 && cp <= 0xDFFF)
                    throw std::runtime_error("low surrogate without a high one");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    if (m_s.compare(m_i, 2, "\\u") != 0)
                        throw std::runtime_error("high surrogate without a low one");
                    m_i += 2;
                    const unsigned long low = hex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        throw std::runtime_error("high surrogate without a low one");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default: throw std::runtime_error("bad escape");
            }
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
        if (m_s[digits] == '0' && m_i - digits > 1)
            throw std::runtime_error("leading zero at " + std::to_string(start));
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
        for (const std::string word : {"true", "false"}) {
            if (m_s.compare(m_i, word.size(), word) == 0) {
                m_i += word.size();
                j.m_kind = Json::Kind::Boolean;
                j.m_number = word == "true";
                return j;
            }
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
