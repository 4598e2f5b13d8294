// A word frequency table as the table scripts write it: one line a word, the word, a space and how often
// it was counted ("house 1523").
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mtengine {

// The count of each word of table, under the key keyOf(word) gives it (the word as written, or in the
// engine's coding).
template <typename KeyOf>
std::unordered_map<std::string, unsigned> ReadFrequencies(std::string_view table, KeyOf keyOf) {
    std::unordered_map<std::string, unsigned> counts;
    for (std::size_t begin = 0; begin < table.size();) {
        std::size_t end = table.find('\n', begin);
        end = end == std::string_view::npos ? table.size() : end;
        std::string_view line = table.substr(begin, end - begin);
        begin = end + 1;
        std::size_t space = line.rfind(' ');
        if (space == std::string_view::npos)
            continue;
        unsigned count = 0;
        for (char c : line.substr(space + 1))
            count = count * 10 + static_cast<unsigned>(c - '0');
        counts.emplace(keyOf(line.substr(0, space)), count);
    }
    return counts;
}

} // namespace mtengine
