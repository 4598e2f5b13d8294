// Splitting texts over leaves, and reading them back.
#include "Leaves.h"

#include "base/CodePage.h"

#include <cstdlib>

namespace dicbuild {

namespace {

constexpr unsigned char kRussian = 2;

// Where each byte of an encoded text stands: outside runs, in the "%N " that opens a run, or in a
// run's text; the closing "%" is outside. opening[i] is where the run of byte i opens.
enum class Place : unsigned char { Outside, Opening, InRun };

struct Layout {
    std::vector<Place> places;
    std::vector<std::size_t> opening;
};

Layout LayoutOf(const std::string& text) {
    Layout layout{std::vector<Place>(text.size(), Place::Outside), std::vector<std::size_t>(text.size(), 0)};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        std::size_t space = text.find(' ', i);
        std::size_t close = space == std::string::npos ? space : text.find('%', space + 1);
        std::size_t end = close == std::string::npos ? text.size() : close;
        for (std::size_t k = i; k < end; ++k) {
            layout.places[k] = k <= space ? Place::Opening : Place::InRun;
            layout.opening[k] = i;
        }
        i = end;
    }
    return layout;
}

} // namespace

LeafSplit SplitIntoLeaves(const std::string& text, TextKind kind) {
    LeafSplit split;
    std::string rest = text;
    while (rest.size() > kMaxLeaf) {
        Layout layout = LayoutOf(rest);
        const std::vector<Place>& places = layout.places;
        // A leaf ends after a separator's punctuation (the space after it is dropped) or before a
        // space; one that ends inside a run gets the run's closing "%", within the limit.
        auto fits = [&](std::size_t end) {
            return end > 0 && places[end - 1] != Place::Opening &&
                   end + (places[end - 1] == Place::InRun ? 1 : 0) <= kMaxLeaf;
        };
        std::size_t end = 0, next = 0;
        const char* separators[] = {"; ", kind == TextKind::Translation ? ", " : " ", " "};
        for (const char* separator : separators) {
            std::size_t length = std::char_traits<char>::length(separator);
            for (std::size_t at = rest.rfind(separator, kMaxLeaf); at != std::string::npos && at > 0;
                 at = rest.rfind(separator, at - 1)) {
                if (places[at] != Place::Opening && fits(at + length - 1)) {
                    end = at + length - 1;
                    next = at + length;
                    break;
                }
            }
            if (end != 0)
                break;
        }
        if (end == 0) {
            // A word longer than a leaf: cut inside it, never inside a run's opening.
            end = kMaxLeaf - 1;
            while (end > 1 && places[end - 1] == Place::Opening)
                --end;
            next = end;
            split.cutInsideWord = true;
        }
        bool endsInRun = places[end - 1] == Place::InRun;
        std::string leaf = rest.substr(0, end) + (endsInRun ? "%" : "");
        std::string reopen;
        if (next < rest.size() && places[next] == Place::InRun) {
            std::size_t opening = layout.opening[next];
            reopen = rest.substr(opening, rest.find(' ', opening) + 1 - opening);
        } else if (endsInRun && next < rest.size() && rest[next] == '%') {
            ++next; // the run closed right after the cut: its "%" is already written
        }
        split.leaves.push_back(leaf);
        rest = reopen + rest.substr(next);
    }
    if (!rest.empty() || split.leaves.empty())
        split.leaves.push_back(rest);
    return split;
}

std::wstring DecodeDictionaryText(const std::string& bytes, unsigned char language) {
    unsigned codePage = language == kRussian ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern;
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t open = bytes.find('%', i);
        text += ovrin::MultiByteToWide(codePage, bytes.substr(i, open == std::string::npos ? open : open - i));
        if (open == std::string::npos)
            break;
        std::size_t space = bytes.find(' ', open);
        std::size_t close = space == std::string::npos ? space : bytes.find('%', space + 1);
        if (close == std::string::npos)
            break; // an unclosed run: nothing more to read
        unsigned runLanguage = static_cast<unsigned>(std::atoi(bytes.substr(open + 1, space - open - 1).c_str()));
        text +=
            DecodeDictionaryText(bytes.substr(space + 1, close - space - 1), static_cast<unsigned char>(runLanguage));
        i = close + 1;
    }
    return text;
}

} // namespace dicbuild
