#pragma once
// The beginning-fret dialog's OK button: what the typed text means.
#include <string>

namespace strumox::pages {

struct BeginFretInput {
    enum class Kind { Empty, OutOfRange, Value } kind = Kind::Empty;
    int value = 0;
};

// Empty closes the dialog without a change, 1..20 is a value, anything else keeps it open.
inline BeginFretInput parseBeginFret(const std::string& text)
{
    std::string t;
    for (char c : text)
        if (c != ' ')
            t += c;
    if (t.empty())
        return {};
    for (char c : t)
        if (c < '0' || c > '9')
            return {BeginFretInput::Kind::OutOfRange, 0};
    const int v = t.size() > 3 ? 999 : std::stoi(t);
    if (v < 1 || v > 20)
        return {BeginFretInput::Kind::OutOfRange, v};
    return {BeginFretInput::Kind::Value, v};
}

}  // namespace strumox::pages
