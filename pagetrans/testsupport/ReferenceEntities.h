// The plain decoding and encoding algorithms, kept as the yardstick for the fast ones: the decoder
// searches the numeric reference pattern from the first character after every replacement, and both
// operations scan the text once per table row. Used by the tests, the benchmark and the fuzzer.
#pragma once

#include "pagetrans/Entities.h"
#include "pagetrans/RegPattern.h"

#include <cstdint>
#include <string>

namespace reference {

inline unsigned Unit(wchar_t c) {
    return static_cast<unsigned>(c) & 0xFFFF;
}

inline void DecodeEntities(std::wstring& text) {
    ovrin::CRegPattern pattern(ovrin::kNumericReferencePattern, false);
    while (pattern.Search(text)) {
        std::size_t start = pattern.GetMatchStart(0);
        std::size_t length = pattern.GetMatchLength(0);
        if (start > 0 && Unit(text[start - 1]) == L'&') {
            text.erase(start - 1, 1);
            --start;
        }
        std::wstring body = text.substr(start + 1, length - 2);
        std::uint32_t value = 0;
        if (!body.empty() && (Unit(body[0]) == L'x' || Unit(body[0]) == L'X')) {
            for (std::size_t i = 1; i < body.size(); ++i) {
                unsigned c = Unit(body[i]);
                unsigned digit;
                if (c >= L'0' && c <= L'9')
                    digit = c - L'0';
                else if (c >= L'a' && c <= L'f')
                    digit = c - L'a' + 10;
                else if (c >= L'A' && c <= L'F')
                    digit = c - L'A' + 10;
                else
                    break;
                value = value * 16 + digit;
            }
        } else {
            for (wchar_t c : body) {
                if (Unit(c) < L'0' || Unit(c) > L'9')
                    break;
                value = value * 10 + (Unit(c) - L'0');
            }
        }
        wchar_t replacement = value == 0 ? L' ' : static_cast<wchar_t>(value & 0xFFFF);
        text.replace(start, length, 1, replacement);
    }
    for (const ovrin::sEntityRow* row = ovrin::EntityTable; row->name != nullptr; ++row) {
        std::wstring name = row->name;
        for (std::size_t at = text.find(name); at != std::wstring::npos; at = text.find(name, at + 1))
            text.replace(at, name.size(), 1, static_cast<wchar_t>(row->code));
    }
}

inline void EncodeEntities(std::wstring& text) {
    for (const ovrin::sEntityRow* row = ovrin::EntityTable; row->name != nullptr; ++row) {
        std::wstring name = row->name;
        for (std::size_t at = text.find(static_cast<wchar_t>(row->code)); at != std::wstring::npos;
             at = text.find(static_cast<wchar_t>(row->code), at + name.size()))
            text.replace(at, 1, name);
    }
}

} // namespace reference
