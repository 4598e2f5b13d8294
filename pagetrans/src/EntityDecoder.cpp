// DecodeEntities in two linear passes. The numeric pass gives the same result as replacing the
// leftmost numeric reference and searching again from the start until none is left; the named pass
// replaces the table's names in one sweep.
#include "pagetrans/Entities.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ovrin {
namespace {

// The numeric pass compares 16-bit code units, like the regular expression that defines it.
char16_t Unit(wchar_t c) {
    return static_cast<char16_t>(c & 0xFFFF);
}

bool IsDecimalDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(int c) {
    return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(int c) {
    return IsDecimalDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}
// After "#" comes a run of these, then one to four body characters, then ";".
bool IsRunChar(int c) {
    return c == 'x' || c == ',' || c == 'X';
}
bool IsBodyChar(int c) {
    return IsHexDigit(c) || c == ',' || c == 'x';
}
// Every character between "#" and ";" of a reference is one of these.
bool IsSpanChar(int c) {
    return IsBodyChar(c) || c == 'X';
}

// What the decoder sees at one moment, from some "#" on: decoded output, then the character that the
// last replacement produced (not yet placed), then the unread input.
struct TextView {
    const wchar_t* decoded;
    std::size_t decodedLength;
    bool hasPending;
    wchar_t pending;
    const wchar_t* input;
    std::size_t inputLength;

    int At(std::size_t k) const {
        if (k < decodedLength)
            return Unit(decoded[k]);
        k -= decodedLength;
        if (hasPending) {
            if (k == 0)
                return Unit(pending);
            --k;
        }
        return k < inputLength ? Unit(input[k]) : -1;
    }
};

// Length of the numeric reference that starts with the "#" at the view's start, or 0. The run of x,
// comma and X after "#" is taken as long as possible and given back one character at a time, the
// body being as short as possible for each run length; so the match is fixed by the run's end e:
// either ";" stands at e and the run's last character can be a one-character body, or one to four
// body characters follow e and then ";". runFrom is where the run is known to continue from.
std::size_t MatchReference(const TextView& view, std::size_t runFrom) {
    std::size_t end = std::max<std::size_t>(runFrom, 1);
    while (IsRunChar(view.At(end)))
        ++end;
    if (view.At(end) == ';')
        return end >= 2 && view.At(end - 1) != 'X' ? end + 1 : 0;
    std::size_t body = 0;
    while (body < 5 && IsBodyChar(view.At(end + body)))
        ++body;
    return body >= 1 && body <= 4 && view.At(end + body) == ';' ? end + body + 1 : 0;
}

// The character a reference of the given length stands for: its body is hexadecimal after a
// leading x or X and decimal otherwise (leading digits only); the value 0 gives a space.
wchar_t ReferenceValue(const TextView& view, std::size_t length) {
    std::size_t bodyEnd = length - 1;
    std::uint32_t value = 0;
    int first = view.At(1);
    if (first == 'x' || first == 'X') {
        for (std::size_t k = 2; k < bodyEnd && IsHexDigit(view.At(k)); ++k)
            value = value * 16 + HexValue(view.At(k));
    } else {
        for (std::size_t k = 1; k < bodyEnd && IsDecimalDigit(view.At(k)); ++k)
            value = value * 10 + (view.At(k) - '0');
    }
    return value == 0 ? L' ' : static_cast<wchar_t>(value & 0xFFFF);
}

// The numeric pass, in place: a reference of at least three characters gives one, so the decoded
// output (with the replacement not yet placed) never reaches the unread input, and both live in the
// one buffer. Invariant: no reference starts inside the decoded output. A replacement can
// only make a new one that runs through the replacing character, and such a reference starts at
// the "#" just before the output's trailing stretch of span characters; it is the only place to
// look back to. The state of that stretch is kept for the output's end, and saved before every "#"
// and "&" so that cutting the output back at one of them restores it at once.
class NumericReferenceDecoder {
public:
    void Decode(std::wstring& text) {
        m_output = text.data();
        m_input = text.data();
        m_inputLength = text.size();
        for (;;) {
            if (m_hasPending) {
                PlacePending();
                continue;
            }
            while (m_next < m_inputLength && Unit(m_input[m_next]) != '#') {
                std::size_t stop = m_next;
                while (stop < m_inputLength && Unit(m_input[stop]) != '#' && Unit(m_input[stop]) != '&')
                    ++stop;
                AppendStretch(m_input + m_next, stop - m_next);
                m_next = stop;
                if (stop < m_inputLength && Unit(m_input[stop]) == '&')
                    Append(m_input[m_next++]);
            }
            if (m_next == m_inputLength)
                break;
            TextView view{nullptr, 0, false, 0, m_input + m_next, m_inputLength - m_next};
            if (std::size_t length = MatchReference(view, 1))
                Replace(view, length);
            else
                Append(m_input[m_next++]);
        }
        text.resize(m_outputLength);
    }

private:
    struct StretchState {
        std::size_t spanStart = 0; // where the output's trailing stretch of span characters begins
        std::size_t runEnd = 0;    // where the run of x, comma and X at the stretch's start ends
    };
    struct SavedState {
        std::size_t position; // of a "#" or "&" in the output
        StretchState before;
    };

    void Append(wchar_t c) {
        char16_t unit = Unit(c);
        std::size_t at = m_outputLength;
        if (unit == '#' || unit == '&')
            m_saved.push_back({at, m_state});
        if (!IsSpanChar(unit))
            m_state.spanStart = m_state.runEnd = at + 1;
        else if (m_state.runEnd == at && IsRunChar(unit))
            m_state.runEnd = at + 1;
        m_output[m_outputLength++] = c;
    }

    // Appends characters none of which is "#" or "&" (so no state needs saving) at once; the new
    // state follows from the stretch's tail, read where it now stands (the move may overwrite the
    // input it came from).
    void AppendStretch(const wchar_t* input, std::size_t length) {
        std::size_t base = m_outputLength;
        const wchar_t* stretch = m_output + base;
        if (stretch != input)
            std::wstring::traits_type::move(m_output + base, input, length);
        m_outputLength += length;
        std::size_t from = length;
        while (from > 0 && IsSpanChar(Unit(stretch[from - 1])))
            --from;
        if (from > 0)
            m_state.spanStart = m_state.runEnd = base + from;
        for (std::size_t i = from; i < length && m_state.runEnd == base + i && IsRunChar(Unit(stretch[i])); ++i)
            ++m_state.runEnd;
    }

    // Cuts the output back to a length at which a "#" or "&" stood.
    void CutOutput(std::size_t length) {
        while (m_saved.back().position > length)
            m_saved.pop_back();
        m_state = m_saved.back().before;
        m_saved.pop_back();
        m_outputLength = length;
    }

    void PlacePending() {
        int pending = Unit(m_pending);
        std::size_t spanStart = m_state.spanStart;
        if (spanStart > 0 && Unit(m_output[spanStart - 1]) == '#' && (IsSpanChar(pending) || pending == ';')) {
            std::size_t hash = spanStart - 1;
            TextView view{m_output + hash, m_outputLength - hash, true,
                          m_pending,       m_input + m_next,      m_inputLength - m_next};
            std::size_t length = MatchReference(view, m_state.runEnd - hash);
            if (length > view.decodedLength) {
                Replace(view, length);
                return;
            }
        }
        if (pending == '#') {
            TextView view{nullptr, 0, true, m_pending, m_input + m_next, m_inputLength - m_next};
            if (std::size_t length = MatchReference(view, 1)) {
                Replace(view, length);
                return;
            }
        }
        m_hasPending = false;
        Append(m_pending);
    }

    // Replaces the reference at the view's start; the "&" before it goes too.
    void Replace(const TextView& view, std::size_t length) {
        wchar_t replacement = ReferenceValue(view, length);
        std::size_t fromInput = length - view.decodedLength - (view.hasPending ? 1 : 0);
        m_next += fromInput;
        if (view.decodedLength > 0)
            CutOutput(m_outputLength - view.decodedLength);
        if (m_outputLength > 0 && Unit(m_output[m_outputLength - 1]) == '&')
            CutOutput(m_outputLength - 1);
        m_pending = replacement;
        m_hasPending = true;
    }

    wchar_t* m_output = nullptr; // the start of the text: the decoded output is written over the input
    std::size_t m_outputLength = 0;
    StretchState m_state;
    std::vector<SavedState> m_saved;
    const wchar_t* m_input = nullptr;
    std::size_t m_inputLength = 0;
    std::size_t m_next = 0;
    bool m_hasPending = false;
    wchar_t m_pending = 0;
};

bool IsAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

struct NameIndex {
    std::vector<std::pair<std::wstring_view, wchar_t>> names; // without "&" and ";", sorted
    std::size_t longest = 0;

    NameIndex() {
        for (const sEntityRow* row = EntityTable; row->name != nullptr; ++row) {
            std::wstring_view name(row->name);
            name = name.substr(1, name.size() - 2);
            names.emplace_back(name, static_cast<wchar_t>(row->code));
            longest = std::max(longest, name.size());
        }
        // A stable sort keeps the first row of any repeated name in front, the row that wins.
        std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    }
    bool Find(std::wstring_view name, wchar_t& code) const {
        auto found = std::lower_bound(names.begin(), names.end(), name,
                                      [](const auto& entry, std::wstring_view key) { return entry.first < key; });
        if (found == names.end() || found->first != name)
            return false;
        code = found->second;
        return true;
    }
};

// Names are "&", ASCII letters and digits, ";" and no replacement character is any of these, so
// occurrences never overlap or arise from earlier replacements: one sweep equals one scan per row.
void DecodeNamedEntities(std::wstring& text) {
    static const NameIndex index;
    std::size_t write = text.find(L'&');
    if (write == std::wstring::npos)
        return;
    std::size_t read = write;
    const std::size_t length = text.size();
    while (read < length) {
        wchar_t c = text[read];
        if (c == L'&') {
            std::size_t end = read + 1;
            while (end < length && end - read <= index.longest && IsAsciiLetterOrDigit(text[end]))
                ++end;
            wchar_t code = 0;
            if (end < length && text[end] == L';' &&
                index.Find(std::wstring_view(text).substr(read + 1, end - read - 1), code)) {
                text[write++] = code;
                read = end + 1;
                continue;
            }
        }
        text[write++] = c;
        ++read;
    }
    text.resize(write);
}

} // namespace

void DecodeEntities(std::wstring& text) {
    if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return Unit(c) == '#'; }))
        NumericReferenceDecoder().Decode(text);
    DecodeNamedEntities(text);
}

} // namespace ovrin
