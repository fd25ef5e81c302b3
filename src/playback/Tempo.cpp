#include "playback/Tempo.h"

#include <algorithm>
#include <cctype>

namespace strumox::playback {

int holdBpm(const std::string& text, int empty)
{
    // Longer digit strings than a tempo box holds are held to the top without being converted.
    const bool digits = !text.empty() &&
                        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!digits)
        return std::clamp(empty, kMinBpm, kMaxBpm);
    if (text.size() > 4)
        return kMaxBpm;
    return std::clamp(std::stoi(text), kMinBpm, kMaxBpm);
}

}  // namespace strumox::playback
