// The tokenizer: a single forward pass over the text; every branch advances, so it always ends.
#include "HtmlTokenizer.h"

#include "base/Text.h"

namespace htmlview {
namespace {

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}
bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool OpensMarkup(wchar_t c) {
    return IsAsciiLetter(c) || c == L'/' || c == L'!' || c == L'?';
}

// Elements whose content is not markup: skipped (script, style) or plain text (title, textarea).
bool HasRawText(std::wstring_view name) {
    return name == L"script" || name == L"style" || name == L"title" || name == L"textarea" || name == L"xmp";
}
bool IsDroppedRawText(std::wstring_view name) {
    return name == L"script" || name == L"style";
}

// Finds "</name" (any case) from position; npos when absent.
std::size_t FindEndTag(std::wstring_view html, std::size_t from, std::wstring_view name) {
    for (std::size_t at = html.find(L"</", from); at != std::wstring_view::npos; at = html.find(L"</", at + 2)) {
        std::size_t i = 0;
        while (i < name.size() && at + 2 + i < html.size() && ovrin::AsciiLower(html[at + 2 + i]) == name[i])
            ++i;
        if (i == name.size())
            return at;
    }
    return std::wstring_view::npos;
}

} // namespace

bool HtmlTokenizer::Next(Token& token) {
    token = Token{};
    if (!m_rawTextEnd.empty())
        return ReadRawText(token) || Next(token);
    while (m_position < m_html.size()) {
        if (m_html[m_position] == L'<') {
            if (ReadTag(token))
                return true;
            continue; // a comment or declaration was skipped
        }
        // Text up to the next "<" that can open markup; any other "<" is text.
        std::size_t end = m_position + 1;
        for (;; ++end) {
            end = m_html.find(L'<', end);
            if (end == std::wstring_view::npos) {
                end = m_html.size();
                break;
            }
            if (end + 1 < m_html.size() && OpensMarkup(m_html[end + 1]))
                break;
        }
        token.kind = Token::Kind::Text;
        token.text = DecodeCharacterReferences(m_html.substr(m_position, end - m_position));
        m_position = end;
        return true;
    }
    return false;
}

// At "<": reads a tag into token (true), or skips a comment or declaration (false), or takes a "<"
// that opens nothing as text (true).
bool HtmlTokenizer::ReadTag(Token& token) {
    std::size_t start = m_position;
    std::size_t i = start + 1;
    if (i < m_html.size() && (m_html[i] == L'!' || m_html[i] == L'?')) {
        SkipMarkupDeclaration();
        return false;
    }
    bool endTag = i < m_html.size() && m_html[i] == L'/';
    if (endTag)
        ++i;
    if (i >= m_html.size() || !IsAsciiLetter(m_html[i])) {
        if (endTag && i < m_html.size() && m_html[i] == L'>') { // "</>" is dropped
            m_position = i + 1;
            return false;
        }
        if (endTag) { // "</ junk>" is a bogus comment
            std::size_t close = m_html.find(L'>', i);
            m_position = close == std::wstring_view::npos ? m_html.size() : close + 1;
            return false;
        }
        token.kind = Token::Kind::Text;
        token.text = L"<";
        m_position = start + 1;
        return true;
    }
    std::size_t nameStart = i;
    while (i < m_html.size() && !IsSpace(m_html[i]) && m_html[i] != L'/' && m_html[i] != L'>')
        ++i;
    token.kind = endTag ? Token::Kind::EndTag : Token::Kind::StartTag;
    token.name.reserve(i - nameStart);
    for (std::size_t k = nameStart; k < i; ++k)
        token.name += ovrin::AsciiLower(m_html[k]);
    m_position = i;
    ReadAttributes(token);
    if (endTag)
        token.attributes.clear();
    else if (HasRawText(token.name))
        m_rawTextEnd = token.name;
    return true;
}

void HtmlTokenizer::ReadAttributes(Token& token) {
    std::size_t& i = m_position;
    while (i < m_html.size()) {
        while (i < m_html.size() && IsSpace(m_html[i]))
            ++i;
        if (i >= m_html.size())
            return;
        if (m_html[i] == L'>') {
            ++i;
            return;
        }
        if (m_html[i] == L'/') {
            ++i;
            if (i < m_html.size() && m_html[i] == L'>') {
                token.selfClosing = true;
                ++i;
                return;
            }
            continue;
        }
        Attribute attribute;
        std::size_t nameStart = i;
        while (i < m_html.size() && !IsSpace(m_html[i]) && m_html[i] != L'/' && m_html[i] != L'>' &&
               (m_html[i] != L'=' || i == nameStart))
            attribute.name += ovrin::AsciiLower(m_html[i++]);
        while (i < m_html.size() && IsSpace(m_html[i]))
            ++i;
        if (i < m_html.size() && m_html[i] == L'=') {
            ++i;
            while (i < m_html.size() && IsSpace(m_html[i]))
                ++i;
            std::size_t valueStart = i;
            std::size_t valueEnd = i;
            if (i < m_html.size() && (m_html[i] == L'"' || m_html[i] == L'\'')) {
                std::size_t close = m_html.find(m_html[i], i + 1);
                valueStart = i + 1;
                valueEnd = close == std::wstring_view::npos ? m_html.size() : close;
                i = close == std::wstring_view::npos ? m_html.size() : close + 1;
            } else {
                while (i < m_html.size() && !IsSpace(m_html[i]) && m_html[i] != L'>')
                    ++i;
                valueEnd = i;
            }
            attribute.value = DecodeCharacterReferences(m_html.substr(valueStart, valueEnd - valueStart));
        }
        bool duplicate = false;
        for (const Attribute& existing : token.attributes)
            duplicate = duplicate || existing.name == attribute.name;
        if (!duplicate && token.attributes.size() < 64) // the first of a repeated name counts
            token.attributes.push_back(std::move(attribute));
    }
}

void HtmlTokenizer::SkipMarkupDeclaration() {
    std::size_t start = m_position;
    if (m_html.substr(start, 4) == L"<!--") {
        std::size_t close = m_html.find(L"-->", start + 4);
        m_position = close == std::wstring_view::npos ? m_html.size() : close + 3;
        return;
    }
    std::size_t close = m_html.find(L'>', start + 2);
    m_position = close == std::wstring_view::npos ? m_html.size() : close + 1;
}

// Inside a raw-text element: its content up to the end tag (text, or dropped), then the end tag.
bool HtmlTokenizer::ReadRawText(Token& token) {
    std::wstring name = std::move(m_rawTextEnd);
    m_rawTextEnd.clear();
    std::size_t end = FindEndTag(m_html, m_position, name);
    if (end == std::wstring_view::npos)
        end = m_html.size();
    std::wstring_view content = m_html.substr(m_position, end - m_position);
    m_position = end;
    if (content.empty() || IsDroppedRawText(name))
        return false;
    token.kind = Token::Kind::Text;
    token.text = DecodeCharacterReferences(content);
    return true;
}

} // namespace htmlview
