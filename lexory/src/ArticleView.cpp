// The article view model read from article bytes, and the HTML the article window shows for it.
#include "ArticleView.h"
#include "base/Text.h"

#include "dictengine/DEngine.h"

#include <cstdio>
#include <string>

namespace lexory {

const PartOfSpeechName kPartOfSpeechNames[22] = {
    {1, 132, L"Существительное"},
    {2, 133, L"Прилагательное"},
    {3, 134, L"Глагол"},
    {4, 136, L"Числительное"},
    {5, 137, L"Причастие"},
    {100, 135, L"Наречие"},
    {101, 138, L"Местоимение"},
    {102, 139, L"Союз"},
    {103, 140, L"Предлог"},
    {104, 141, L"Частица"},
    {105, 142, L"Предикатив"},
    {106, 143, L"Пунктуация"},
    {107, 148, L"Детерминатив"},
    {108, 149, L"Артикль"},
    {109, 150, L"Количественное"},
    {110, 151, L"Сравнительная степень"},
    {111, 152, L"Сочинительный союз"},
    {112, 153, L"Подчинительный союз"},
    {113, 154, L"Отрицательная частица"},
    {114, 155, L"Неопределённый артикль"},
    {115, 156, L"Определённый артикль"},
    {0, kUnknownPartOfSpeechStringId, L"Неизвестная часть речи"},
};

namespace {

constexpr std::size_t kNamedCodes = std::size(kPartOfSpeechNames) - 1;

const PartOfSpeechName& NameRow(int code) {
    for (std::size_t i = 0; i < kNamedCodes; ++i) {
        if (kPartOfSpeechNames[i].code == code)
            return kPartOfSpeechNames[i];
    }
    return kPartOfSpeechNames[kNamedCodes];
}

// The texts of every leaf with tag on the container's top level in language, joined by a space.
std::wstring LeafTexts(const unsigned char* container, unsigned char tag, unsigned language,
                       const LeafTextConverter& convert) {
    std::wstring text;
    for (const unsigned char* leaf = DEngine::FindTag(container, tag); leaf != nullptr;
         leaf = DEngine::FindNextTag(container, leaf)) {
        // The leaf's data with a terminating NUL: the converter takes C strings.
        std::string data(reinterpret_cast<const char*>(leaf + 2), leaf[1]);
        std::wstring piece = convert(language, data.c_str());
        if (!piece.empty())
            text += (text.empty() ? L"" : L" ") + piece;
    }
    return text;
}

std::int16_t PartOfSpeechOf(const unsigned char* container) {
    const unsigned char* leaf = DEngine::FindTag(container, 0x02);
    return leaf != nullptr && leaf[1] > 0 ? static_cast<std::int16_t>(leaf[2]) : 0;
}

// Colour components as written in HTML: red (low byte), green, blue, two upper-case digits each.
std::wstring ColourDigits(std::uint32_t colour) {
    wchar_t digits[8];
    std::swprintf(digits, std::size(digits), L"%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return digits;
}

constexpr std::uint32_t kTranslationColour = 59905; // #01EA00
constexpr int kFontSize = 9;

void AppendFontRun(std::wstring& html, const std::wstring& text, std::uint32_t colour = 0, bool lineBreak = false) {
    html += L" <font color=\"#" + ColourDigits(colour) + L"\" size=\"" + std::to_wstring(kFontSize) + L"\">";
    html += text;
    html += L"</font> ";
    if (lineBreak)
        html += L"<br />";
}

void AppendTranslation(std::wstring& html, int number, const sArticleTranslation& translation) {
    html += L"&nbsp;&nbsp;&nbsp;&nbsp;";
    AppendFontRun(html, L"<b>" + std::to_wstring(number) + L".</b> ");
    AppendFontRun(html, L"<i>" + ovrin::EscapedForHtml(translation.label) + L"</i>");
    AppendFontRun(html, ovrin::EscapedForHtml(translation.text), kTranslationColour);
    for (const std::wstring* more : {&translation.text8, &translation.text11}) {
        if (more->empty())
            continue;
        AppendFontRun(html, L", ");
        AppendFontRun(html, ovrin::EscapedForHtml(*more));
    }
    html += L"<br />";
}

} // namespace

unsigned PartOfSpeechStringId(int code) {
    return NameRow(code).stringId;
}

std::wstring PartOfSpeechText(int code) {
    return NameRow(code).text;
}

bool ReadArticleParts(const unsigned char* article, unsigned source, unsigned target, const LeafTextConverter& convert,
                      ArticleParts& parts) {
    parts.clear();
    if (article == nullptr)
        return false;
    unsigned short partCount = DEngine::GetSrcPartCount(article);
    for (unsigned short i = 0; i < partCount; ++i) {
        const unsigned char* p = DEngine::GetSrcPart(article, i);
        if (p == nullptr)
            break;
        sArticlePart part;
        part.partOfSpeech = PartOfSpeechOf(p);
        part.text8 = LeafTexts(p, 0x08, source, convert);
        part.text9 = LeafTexts(p, 0x09, source, convert);
        part.text10 = LeafTexts(p, 0x0A, source, convert);
        unsigned short translationCount = DEngine::GetTranslationCount(p);
        for (unsigned short j = 0; j < translationCount; ++j) {
            const unsigned char* t = DEngine::GetTranslation(p, j);
            if (t == nullptr)
                break;
            sArticleTranslation translation;
            translation.partOfSpeech = PartOfSpeechOf(t);
            translation.text = LeafTexts(t, 0x01, target, convert);
            std::wstring label = LeafTexts(t, 0x03, source, convert);
            if (!label.empty())
                translation.label = L"(" + label + L")";
            translation.text8 = LeafTexts(t, 0x08, source, convert);
            translation.text11 = LeafTexts(t, 0x0B, source, convert);
            part.translations.push_back(std::move(translation));
        }
        parts.push_back(std::move(part));
    }
    return true;
}

std::wstring BuildArticleHtmlText(const ArticleParts& parts, int width, int height, const PartOfSpeechNamer& nameOf) {
    wchar_t start[128];
    std::swprintf(start, std::size(start),
                  L"<table width=\"%dpx\" border=\"1\"><tr><td height=\"%dpx\" valign=\"top\">", width, height);
    std::wstring html = start;
    for (const sArticlePart& part : parts) {
        AppendFontRun(html, ovrin::EscapedForHtml(nameOf(part.partOfSpeech)), 0, true);
        AppendFontRun(html, ovrin::EscapedForHtml(part.text8));
        if (!part.text10.empty())
            AppendFontRun(html, ovrin::EscapedForHtml(part.text10));
        AppendFontRun(html, ovrin::EscapedForHtml(part.text9));
        if (!part.text10.empty() || !part.text9.empty())
            html += L"<br />";
        int number = 1;
        for (const sArticleTranslation& translation : part.translations)
            AppendTranslation(html, number++, translation);
        html += L"<br />";
    }
    // The closing tags stand in this order in every page the program has written.
    html += L"</tr></td></table>";
    return html;
}

} // namespace lexory
