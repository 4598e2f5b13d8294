// Ordering of the catalogue. Directions: each language pair stands as its two directions side by
// side, the one whose source has the lower language code first, pairs ordered by their lower code and
// then the higher; a direction without its reverse takes its place where its own pair would stand;
// codes outside the seven languages and same-language directions stay behind, in their order.
// Dictionaries: "General" first, then the others by name, user dictionaries last. The dictionary
// program always works with dictionary 0 of a direction, so this order decides what it shows.
#include "Engine.h"

#include <algorithm>
#include <cstring>

namespace dengine {

namespace {

constexpr int kLanguageCount = 7;

int IndexOfDirection(const std::vector<sDirData>& catalogue, std::uint16_t code) {
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (catalogue[i].direction == code)
            return static_cast<int>(i);
    }
    return -1;
}

// Takes the direction out of its index (always at or after pos) and inserts it at pos.
void MoveDirectionTo(std::vector<sDirData>& catalogue, int from, std::size_t pos) {
    sDirData moved = std::move(catalogue[static_cast<std::size_t>(from)]);
    catalogue.erase(catalogue.begin() + from);
    catalogue.insert(catalogue.begin() + static_cast<std::ptrdiff_t>(pos), std::move(moved));
}

void OrderDirections(std::vector<sDirData>& catalogue) {
    std::size_t pos = 0;
    for (int a = 0; a < kLanguageCount; ++a) {
        for (int b = 0; b < kLanguageCount; ++b) {
            std::uint16_t first = static_cast<std::uint16_t>((1u << a) << 8 | (1u << b));
            std::uint16_t second = static_cast<std::uint16_t>((1u << b) << 8 | (1u << a));
            int firstIndex = IndexOfDirection(catalogue, first);
            if (firstIndex < 0)
                continue;
            if (first < second) {
                MoveDirectionTo(catalogue, firstIndex, pos++);
                int secondIndex = IndexOfDirection(catalogue, second);
                if (secondIndex >= 0)
                    MoveDirectionTo(catalogue, secondIndex, pos++);
            } else if (IndexOfDirection(catalogue, second) < 0) {
                MoveDirectionTo(catalogue, firstIndex, pos++);
            }
        }
    }
}

bool IsGeneral(const sDictData& record) {
    return std::strcmp(record.name, "General") == 0;
}

// Byte-wise, as unsigned bytes, up to the name's NUL.
int CompareNames(const sDictData& a, const sDictData& b) {
    return std::strcmp(a.name, b.name);
}

void OrderDictionaries(std::vector<std::unique_ptr<sDictData>>& list) {
    // Three groups: "General" at the front, user dictionaries (type 4) at the back, the rest between.
    std::size_t k = 0;
    std::size_t r = list.size();
    std::size_t j = 0;
    while (j < k + r) {
        if (IsGeneral(*list[j])) {
            if (j != k)
                std::swap(list[j], list[k]);
            ++k;
            --r;
            ++j;
        } else if (list[j]->Type() == DEngine::kUserDictionaryType) {
            if (j < k + r - 1)
                std::swap(list[j], list[k + r - 1]);
            --r; // the entry brought in is examined next
        } else {
            ++j;
        }
    }
    auto higherTypeFirst = [](const std::unique_ptr<sDictData>& a, const std::unique_ptr<sDictData>& b) {
        return a->Type() > b->Type();
    };
    if (k > 1)
        std::stable_sort(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(k), higherTypeFirst);
    if (r > 1) {
        std::stable_sort(list.begin() + static_cast<std::ptrdiff_t>(k),
                         list.begin() + static_cast<std::ptrdiff_t>(k + r),
                         [](const std::unique_ptr<sDictData>& a, const std::unique_ptr<sDictData>& b) {
                             int byName = CompareNames(*a, *b);
                             return byName != 0 ? byName < 0 : a->Type() > b->Type();
                         });
    }
}

} // namespace

void OrderCatalogue(std::vector<sDirData>& catalogue) {
    OrderDirections(catalogue);
    for (sDirData& direction : catalogue)
        OrderDictionaries(direction.dictionaries);
}

} // namespace dengine
