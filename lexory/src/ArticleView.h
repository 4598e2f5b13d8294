// The article of one headword as the article window shows it: the view model of parts and
// translations read from the article bytes, the part-of-speech names, and the HTML table built from
// the model. Portable: the caller supplies the text conversion and the names (the program takes them
// from its string table, which matches kPartOfSpeechNames).
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <string>

struct sArticleTranslation {
    std::int16_t partOfSpeech = 0;
    std::wstring text;
    std::wstring label; // "(" + text + ")", or empty
    std::wstring text8;
    std::wstring text11;
};

struct sArticlePart {
    std::int16_t partOfSpeech = 0;
    std::wstring text8;
    std::wstring text9;
    std::wstring text10;
    std::list<sArticleTranslation> translations;
};

using ArticleParts = std::list<sArticlePart>;

namespace lexory {

// Converts the NUL-terminated 8-bit text of a leaf in a language to wide text.
using LeafTextConverter = std::function<std::wstring(unsigned language, const char* text)>;
// The name of a part-of-speech code.
using PartOfSpeechNamer = std::function<std::wstring(int code)>;

struct PartOfSpeechName {
    int code;
    unsigned stringId;
    const wchar_t* text;
};
// Every named code with its string id; the last row is the name of any other code.
extern const PartOfSpeechName kPartOfSpeechNames[22];
constexpr unsigned kUnknownPartOfSpeechStringId = 144;

// The string id of the name of code (144 for a code without a name of its own).
unsigned PartOfSpeechStringId(int code);
// The name of code from the table above.
std::wstring PartOfSpeechText(int code);

// Fills parts from article (the engine's container: a 2-byte length, then tags), texts of the source
// part in source, translations in target. Every leaf of a tag is taken, joined by a space: a text
// longer than one leaf is stored over several. False for a null article.
bool ReadArticleParts(const unsigned char* article, unsigned source, unsigned target, const LeafTextConverter& convert,
                      ArticleParts& parts);

// The HTML table of the article, width and height in pixels.
std::wstring BuildArticleHtmlText(const ArticleParts& parts, int width, int height, const PartOfSpeechNamer& nameOf);

} // namespace lexory
