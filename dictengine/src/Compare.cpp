// The compare tables and the comparisons made with them.
#include "Compare.h"

#include "CompareTableData.h"
#include "Engine.h"

#include "dictengine/DEngine.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace dengine {

namespace {

constexpr unsigned kOrderTableType = 999;
constexpr unsigned kFoldTableType = 997;
constexpr unsigned kFoldTableId = 1;

// The 256 bytes of a table: a resource of the program in the Windows build, built in natively.
bool FindTable(unsigned type, unsigned id, std::uint8_t* table) {
#ifdef _WIN32
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    if (resource == nullptr || SizeofResource(nullptr, resource) < 256)
        return false;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return false;
    std::memcpy(table, bytes, 256);
    return true;
#else
    for (const CompareTableData* entry = kCompareTables; entry->bytes != nullptr; ++entry) {
        if (entry->type == type && entry->id == id) {
            std::memcpy(table, entry->bytes, 256);
            return true;
        }
    }
    return false;
#endif
}

inline std::uint8_t FoldWeight(const Weights& w, std::uint8_t c) {
    return w.order[w.fold[c]];
}

// One pass over the whole texts with the weight function given.
template <typename Weight>
int ComparePass(const char* a, const char* b, Weight weight) {
    const auto* x = reinterpret_cast<const std::uint8_t*>(a);
    const auto* y = reinterpret_cast<const std::uint8_t*>(b);
    std::size_t i = 0;
    for (; x[i] != 0 && y[i] != 0; ++i) {
        std::uint8_t wx = weight(x[i]), wy = weight(y[i]);
        if (wx != wy)
            return wx < wy ? -1 : 1;
    }
    if (x[i] != 0)
        return 1;
    if (y[i] != 0)
        return -1;
    return 0;
}

template <typename Weight>
int CountedPass(const char* a, const char* b, std::size_t n, Weight weight) {
    const auto* x = reinterpret_cast<const std::uint8_t*>(a);
    const auto* y = reinterpret_cast<const std::uint8_t*>(b);
    std::size_t i = 0;
    for (; i < n && x[i] != 0 && y[i] != 0; ++i) {
        std::uint8_t wx = weight(x[i]), wy = weight(y[i]);
        if (wx != wy)
            return wx < wy ? -1 : 1;
    }
    if (i >= n)
        return 0;
    if (x[i] != 0)
        return 1;
    if (y[i] != 0)
        return -1;
    return 0;
}

} // namespace

bool LoadFoldTable(std::uint8_t* table) {
    return FindTable(kFoldTableType, kFoldTableId, table);
}

bool LoadOrderTable(unsigned language, std::uint8_t* table) {
    return FindTable(kOrderTableType, language, table);
}

Weights CurrentWeights(unsigned language) {
    EngineState& engine = Engine();
    return Weights{engine.orderTable, language == DEngine::kLangRussian ? nullptr : engine.foldTable};
}

LanguageWeights::LanguageWeights(unsigned language) : m_fold(language != DEngine::kLangRussian) {
    if (!LoadOrderTable(language, m_order))
        std::memcpy(m_order, Engine().orderTable, sizeof m_order);
}

Weights LanguageWeights::Get() const {
    return Weights{m_order, m_fold ? Engine().foldTable : nullptr};
}

int FullCompare(const Weights& w, const char* a, const char* b) {
    auto plain = [&](std::uint8_t c) { return w.order[c]; };
    if (w.fold != nullptr) {
        int folded = ComparePass(a, b, [&](std::uint8_t c) { return FoldWeight(w, c); });
        if (folded != 0)
            return folded;
    }
    return ComparePass(a, b, plain);
}

int CountedCompare(const Weights& w, const char* a, const char* b, std::size_t n) {
    auto plain = [&](std::uint8_t c) { return w.order[c]; };
    if (w.fold != nullptr) {
        int folded = CountedPass(a, b, n, [&](std::uint8_t c) { return FoldWeight(w, c); });
        if (folded != 0)
            return folded;
    }
    return CountedPass(a, b, n, plain);
}

int FirstPassCountedCompare(const Weights& w, const char* a, const char* b, std::size_t n) {
    if (w.fold != nullptr)
        return CountedPass(a, b, n, [&](std::uint8_t c) { return FoldWeight(w, c); });
    return CountedPass(a, b, n, [&](std::uint8_t c) { return w.order[c]; });
}

bool WildcardMatch(const std::uint8_t* order, const char* pattern, const char* text) {
    // Iterative form of the recursive match: "*" remembers where it stood, and a later mismatch
    // retries with the star taking one more character. It gives the same answers without recursion.
    const auto* p = reinterpret_cast<const std::uint8_t*>(pattern);
    const auto* t = reinterpret_cast<const std::uint8_t*>(text);
    const std::uint8_t* starPattern = nullptr;
    const std::uint8_t* starText = nullptr;
    for (;;) {
        if (*p == '*') {
            if (p[1] == 0)
                return true;
            // A star that is not last never matches at the end of the text; any earlier star taking
            // more characters would only reach this one later, so the whole match fails.
            if (*t == 0)
                return false;
            starPattern = ++p;
            starText = t;
            continue;
        }
        if (*p == 0 && *t == 0)
            return true;
        if (*p != 0 && *t != 0 && (*p == '?' || order[*p] == order[*t])) {
            ++p;
            ++t;
            continue;
        }
        // The last star takes one more character, as long as one is left for what follows it.
        if (starPattern == nullptr || starText[1] == 0)
            return false;
        p = starPattern;
        t = ++starText;
    }
}

} // namespace dengine

namespace DEngine {

void LoadCompareTable(unsigned short lang) {
    dengine::LoadOrderTable(lang, dengine::Engine().orderTable);
}

int TableStrCompare(unsigned short lang, const char* a, const char* b) {
    if (a == nullptr || b == nullptr)
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    return dengine::FullCompare(dengine::CurrentWeights(lang), a, b);
}

int TableStrNCompare(unsigned short lang, const char* a, const char* b, unsigned short n) {
    if (a == nullptr || b == nullptr)
        return a == b ? 0 : (a == nullptr ? -1 : 1);
    return dengine::CountedCompare(dengine::CurrentWeights(lang), a, b, n);
}

} // namespace DEngine
