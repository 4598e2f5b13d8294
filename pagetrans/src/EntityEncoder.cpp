// EncodeEntities in one sweep. The names that encoding inserts
// hold only "&", ASCII letters, digits and ";", none of which has a row, so a later row never
// re-encodes an earlier row's name and one sweep equals one scan per row in table order.
#include "EntityEncoder.h"
#include "pagetrans/Entities.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace ovrin {

namespace {

// Row of each code, indexed by code; the first row of a code wins, as it replaces the character
// before any later row could.
struct CodeIndex {
    static constexpr std::uint16_t kNone = 0xFFFF;
    std::vector<std::uint16_t> rowOfCode;

    CodeIndex() {
        std::uint32_t highest = 0;
        for (const sEntityRow* row = EntityTable; row->name != nullptr; ++row)
            highest = std::max(highest, row->code);
        rowOfCode.assign(highest + 1, kNone);
        for (std::uint16_t i = 0; EntityTable[i].name != nullptr; ++i) {
            if (rowOfCode[EntityTable[i].code] == kNone)
                rowOfCode[EntityTable[i].code] = i;
        }
    }
    const wchar_t* NameOf(wchar_t c) const {
        std::uint32_t code = static_cast<std::uint32_t>(c);
        if (code >= rowOfCode.size() || rowOfCode[code] == kNone)
            return nullptr;
        return EntityTable[rowOfCode[code]].name;
    }
};

const CodeIndex& Index() {
    static const CodeIndex index;
    return index;
}

} // namespace

void AppendEncodedEntities(std::wstring& out, std::wstring_view text) {
    const CodeIndex& index = Index();
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const wchar_t* name = index.NameOf(text[i])) {
            out.append(text, from, i - from);
            out.append(name);
            from = i + 1;
        }
    }
    out.append(text, from);
}

void EncodeEntities(std::wstring& text) {
    const CodeIndex& index = Index();
    auto first = std::find_if(text.begin(), text.end(), [&index](wchar_t c) { return index.NameOf(c) != nullptr; });
    if (first == text.end())
        return;
    std::wstring encoded;
    encoded.reserve(text.size() + text.size() / 4);
    AppendEncodedEntities(encoded, text);
    text.swap(encoded);
}

} // namespace ovrin
