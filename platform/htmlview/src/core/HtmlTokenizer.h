// Splits an HTML text into start tags, end tags and text, decoding character references. Comments,
// declarations and processing instructions are dropped; the content of script and style is dropped,
// that of title and textarea is text. Malformed markup becomes text or is skipped, never an error.
#pragma once

#include "HtmlDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace htmlview {

struct Token {
    enum class Kind { StartTag, EndTag, Text };

    Kind kind = Kind::Text;
    std::wstring name; // lower case, for tags
    std::wstring text; // for text
    std::vector<Attribute> attributes;
    bool selfClosing = false;
};

class HtmlTokenizer {
public:
    explicit HtmlTokenizer(std::wstring_view html) : m_html(html) {}

    // The next token; false at the end of the text.
    bool Next(Token& token);

private:
    bool ReadTag(Token& token);
    void ReadAttributes(Token& token);
    void SkipMarkupDeclaration();
    bool ReadRawText(Token& token);

    std::wstring_view m_html;
    std::size_t m_position = 0;
    std::wstring m_rawTextEnd; // inside script, style, title or textarea: the element's name
};

// Decodes the character references of a text ("&amp;", "&#1078;", "&#x416;", the common named ones).
// Unknown or malformed references stay as written; invalid code points become U+FFFD.
std::wstring DecodeCharacterReferences(std::wstring_view text);

} // namespace htmlview
