// The article view model read from article bytes and the HTML built from it, byte for byte; the
// part-of-speech names against the program's string table.
#include "ArticleView.h"
#include "base/CodePage.h"
#include "dictengine/DictWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

using namespace lexory;

namespace {

constexpr unsigned kEnglish = 1;
constexpr unsigned kRussian = 2;

// Tags without the article's own 2-byte length: the body of a container.
std::string Tags(const std::vector<std::pair<std::uint8_t, std::string>>& tags) {
    return dengine::MakeArticle(tags).substr(2);
}

std::string Translation(const std::vector<std::pair<std::uint8_t, std::string>>& tags) {
    return Tags({{0x90, Tags(tags)}});
}

std::wstring Convert(unsigned language, const char* text) {
    return ovrin::MultiByteToWide(language == kRussian ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern, text);
}

ArticleParts Read(const std::string& article) {
    ArticleParts parts;
    EXPECT_TRUE(
        ReadArticleParts(reinterpret_cast<const unsigned char*>(article.data()), kEnglish, kRussian, Convert, parts));
    return parts;
}

std::wstring Html(const ArticleParts& parts) {
    return BuildArticleHtmlText(parts, 235, 250, PartOfSpeechText);
}

std::wstring FontRun(const std::wstring& text, const wchar_t* colour = L"000000") {
    return L" <font color=\"#" + std::wstring(colour) + L"\" size=\"9\">" + text + L"</font> ";
}

const std::wstring kStart = L"<table width=\"235px\" border=\"1\"><tr><td height=\"250px\" valign=\"top\">";
const std::wstring kEnd = L"</tr></td></table>";
const std::wstring kIndent = L"&nbsp;&nbsp;&nbsp;&nbsp;";
const std::string kDom = "\xE4\xEE\xEC"; // дом in 1251
const std::wstring kDomWide = L"\x0434\x043E\x043C";

} // namespace

TEST(ArticleViewTest, ArticleWithoutPartContainersIsOnePartWithNumberedTranslations) {
    std::string article = dengine::MakeArticle({{0x02, "\x01"},
                                                {0x08, "[haus]"},
                                                {0x90, Tags({{0x01, kDom}, {0x03, "arch."}, {0x0B, "old"}})},
                                                {0x90, Tags({{0x01, "\xE7\xE4\xE0\xED\xE8\xE5"}, {0x08, "note"}})}});
    ArticleParts parts = Read(article);
    ASSERT_EQ(parts.size(), 1u);
    const sArticlePart& part = parts.front();
    EXPECT_EQ(part.partOfSpeech, 1);
    EXPECT_EQ(part.text8, L"[haus]");
    ASSERT_EQ(part.translations.size(), 2u);
    EXPECT_EQ(part.translations.front().text, kDomWide);
    EXPECT_EQ(part.translations.front().label, L"(arch.)");
    EXPECT_EQ(part.translations.back().label, L"");

    std::wstring expected = kStart + FontRun(L"Существительное") + L"<br />" + FontRun(L"[haus]") + FontRun(L"") +
                            kIndent + FontRun(L"<b>1.</b> ") + FontRun(L"<i>(arch.)</i>") +
                            FontRun(kDomWide, L"01EA00") + FontRun(L", ") + FontRun(L"old") + L"<br />" + kIndent +
                            FontRun(L"<b>2.</b> ") + FontRun(L"<i></i>") + FontRun(L"здание", L"01EA00") +
                            FontRun(L", ") + FontRun(L"note") + L"<br />" + L"<br />" + kEnd;
    EXPECT_EQ(Html(parts), expected);
}

TEST(ArticleViewTest, SeveralPartsNumberTheirTranslationsFromOneAndShowTheirNotes) {
    std::string article =
        dengine::MakeArticle({{0x80, Tags({{0x02, "\x03"}, {0x09, "usage"}}) + Translation({{0x01, kDom}})},
                              {0x80, Tags({{0x02, "\x07"}, {0x08, "[t]"}, {0x0A, "only ten"}}) +
                                         Translation({{0x01, kDom}}) + Translation({{0x02, "\x02"}, {0x01, kDom}})},
                              {0x80, Tags({{0x02, "\x64"}})}});
    ArticleParts parts = Read(article);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(std::next(parts.begin())->translations.back().partOfSpeech, 2);

    std::wstring translation1 =
        kIndent + FontRun(L"<b>1.</b> ") + FontRun(L"<i></i>") + FontRun(kDomWide, L"01EA00") + L"<br />";
    std::wstring translation2 =
        kIndent + FontRun(L"<b>2.</b> ") + FontRun(L"<i></i>") + FontRun(kDomWide, L"01EA00") + L"<br />";
    std::wstring expected = kStart +
                            // A 0x09 text alone: one break after it.
                            FontRun(L"Глагол") + L"<br />" + FontRun(L"") + FontRun(L"usage") + L"<br />" +
                            translation1 + L"<br />" +
                            // Code 7 has no name; a 0x0A text without 0x09 text is followed by an empty run.
                            FontRun(L"Неизвестная часть речи") + L"<br />" + FontRun(L"[t]") + FontRun(L"only ten") +
                            FontRun(L"") + L"<br />" + translation1 + translation2 + L"<br />" +
                            // Neither note: no extra break.
                            FontRun(L"Наречие") + L"<br />" + FontRun(L"") + FontRun(L"") + L"<br />" + kEnd;
    EXPECT_EQ(Html(parts), expected);
}

TEST(ArticleViewTest, MarkupCharactersInDictionaryTextsAreEscaped) {
    std::string article = dengine::MakeArticle(
        {{0x08, "a<b"}, {0x09, "x & y"}, {0x90, Tags({{0x01, "<i>"}, {0x03, "a>b"}, {0x08, "&amp;"}})}});
    std::wstring expected = kStart + FontRun(L"Неизвестная часть речи") + L"<br />" + FontRun(L"a&lt;b") +
                            FontRun(L"x &amp; y") + L"<br />" + kIndent + FontRun(L"<b>1.</b> ") +
                            FontRun(L"<i>(a&gt;b)</i>") + FontRun(L"&lt;i&gt;", L"01EA00") + FontRun(L", ") +
                            FontRun(L"&amp;amp;") + L"<br />" + L"<br />" + kEnd;
    EXPECT_EQ(Html(Read(article)), expected);
}

TEST(ArticleViewTest, TextsOverSeveralLeavesAreJoinedWithASpace) {
    std::string first(255, 'a');
    std::string article = dengine::MakeArticle(
        {{0x09, first}, {0x09, "tail"}, {0x90, Tags({{0x01, kDom}, {0x01, kDom}, {0x03, "x"}, {0x03, "y"}})}});
    ArticleParts parts = Read(article);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts.front().text9, std::wstring(255, L'a') + L" tail");
    EXPECT_EQ(parts.front().translations.front().text, kDomWide + L" " + kDomWide);
    EXPECT_EQ(parts.front().translations.front().label, L"(x y)");
}

TEST(ArticleViewTest, NullArticleFailsAndEmptyModelIsAnEmptyTable) {
    ArticleParts parts(1);
    EXPECT_FALSE(ReadArticleParts(nullptr, kEnglish, kRussian, Convert, parts));
    EXPECT_TRUE(parts.empty());
    EXPECT_EQ(BuildArticleHtmlText({}, -3, 0, PartOfSpeechText),
              L"<table width=\"-3px\" border=\"1\"><tr><td height=\"0px\" valign=\"top\"></tr></td></table>");
}

TEST(ArticleViewTest, PartOfSpeechNamesAndTheirStringIds) {
    EXPECT_EQ(PartOfSpeechStringId(1), 132u);
    EXPECT_EQ(PartOfSpeechStringId(4), 136u);
    EXPECT_EQ(PartOfSpeechStringId(100), 135u);
    EXPECT_EQ(PartOfSpeechStringId(115), 156u);
    EXPECT_EQ(PartOfSpeechText(107), L"Детерминатив");
    for (int code : {0, 6, 7, 99, 116, -1, 255})
        EXPECT_EQ(PartOfSpeechStringId(code), kUnknownPartOfSpeechStringId) << code;
}

// The program loads the names from its string table: every row of the table above must stand there
// with the same id and the same text.
TEST(ArticleViewTest, StringTableOfTheProgramHoldsThePartOfSpeechNames) {
    auto readFile = [](const std::string& name) {
        std::ifstream in(std::string(OVRIN_LEXORY_SOURCE) + "/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    std::string header = readFile("resource.h");
    std::string resources = readFile("Lexory.rc");
    ASSERT_FALSE(header.empty());
    ASSERT_FALSE(resources.empty());
    std::map<std::string, unsigned> ids;
    std::regex define(R"(#define\s+(IDS_\w+)\s+(\d+))");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it)
        ids[(*it)[1]] = static_cast<unsigned>(std::stoul((*it)[2]));
    std::map<unsigned, std::wstring> strings;
    std::regex entry(R"(\n\s*(IDS_\w+)\s+"([^"]*)\")");
    for (std::sregex_iterator it(resources.begin(), resources.end(), entry), end; it != end; ++it) {
        ASSERT_TRUE(ids.count((*it)[1])) << (*it)[1];
        strings[ids[(*it)[1]]] = ovrin::MultiByteToWide(ovrin::kCodePageUtf8, (*it)[2].str());
    }
    for (const PartOfSpeechName& name : kPartOfSpeechNames) {
        ASSERT_TRUE(strings.count(name.stringId)) << name.stringId;
        EXPECT_EQ(strings[name.stringId], name.text) << name.stringId;
    }
}
