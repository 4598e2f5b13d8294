// A stand-in for the translation engine in the page translation tests: it counts its calls, keeps
// the last text it was given and answers with that text upper-cased (so translated runs show), or
// with a fixed answer, or fails.
#pragma once

#include "pagetrans/PageTranslator.h"

#include <cstddef>
#include <string>

// The sanitizer build runs the very large inputs at a fifth of their size: the faults they look for
// (stack depth, quadratic walks) show there too, in a fraction of the time.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kLargeInputScale = 5;
#else
constexpr std::size_t kLargeInputScale = 1;
#endif

class FakeEngine {
public:
    enum Kind { kUpperCase, kEcho, kFixed, kFail };

    explicit FakeEngine(Kind kind = kUpperCase) : m_kind(kind) {}

    bool Translate(const std::wstring& text, std::wstring& result) {
        ++calls;
        lastText = text;
        switch (m_kind) {
        case kUpperCase:
            result = text;
            for (wchar_t& c : result) {
                if (c >= L'a' && c <= L'z')
                    c = static_cast<wchar_t>(c - L'a' + L'A');
                else if (c >= L'а' && c <= L'я')
                    c = static_cast<wchar_t>(c - L'а' + L'А');
            }
            return true;
        case kEcho:
            result = text;
            return true;
        case kFixed:
            result = fixedAnswer;
            return true;
        case kFail:
            result.clear();
            return false;
        }
        return false;
    }

    ovrin::TranslateFunction Function() {
        return [this](const std::wstring& text, std::wstring& result) { return Translate(text, result); };
    }

    int calls = 0;
    std::wstring lastText;
    std::wstring fixedAnswer;

private:
    Kind m_kind;
};
