// Every article of small dictionaries built from the dictionaries Debian ships renders: the HTML is
// well formed and holds every leaf text of the article.
#include "ArticleView.h"
#include "Builder.h"
#include "Source.h"
#include "base/CodePage.h"
#include "base/Text.h"
#include "dictengine/DEngine.h"

#include <gtest/gtest.h>
#include <testsupport/TempFolder.h>

#include <filesystem>
#include <vector>

using namespace lexory;

namespace {

struct Sample {
    const char* index;
    const char* data;
    dicbuild::EntryStyle style;
    std::uint16_t direction;
    std::size_t step; // every step-th entry: a few seconds for the whole test
};

const Sample kSamples[] = {
    {"mueller7.index", "mueller7.dict.dz", dicbuild::EntryStyle::Mueller, 0x0102, 25},
    {"freedict-deu-rus.index", "freedict-deu-rus.dict.dz", dicbuild::EntryStyle::FreeDict, 0x0402, 5},
};

std::wstring Convert(unsigned language, const char* text) {
    return ovrin::MultiByteToWide(language == 2 ? ovrin::kCodePageCyrillic : ovrin::kCodePageWestern, text);
}

// Opening and closing tags nest properly, apart from the fixed table frame; "&" only starts the
// references the page uses. Returns the first fault, or "".
std::string FirstMarkupFault(const std::wstring& html) {
    const std::wstring start = L"<table width=\"";
    const std::wstring end = L"</tr></td></table>";
    if (html.rfind(start, 0) != 0 || html.size() < end.size() ||
        html.compare(html.size() - end.size(), end.size(), end) != 0)
        return "frame";
    std::size_t bodyStart = html.find(L"valign=\"top\">") + 13;
    std::wstring body = html.substr(bodyStart, html.size() - end.size() - bodyStart);
    std::vector<std::wstring> open;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == L'>')
            return "stray markup character";
        if (body[i] == L'&') {
            std::size_t semicolon = body.find(L';', i);
            std::wstring name = semicolon == std::wstring::npos ? L"" : body.substr(i + 1, semicolon - i - 1);
            if (name != L"lt" && name != L"gt" && name != L"amp" && name != L"nbsp")
                return "reference";
            i = semicolon;
            continue;
        }
        if (body[i] != L'<')
            continue;
        std::size_t close = body.find(L'>', i);
        if (close == std::wstring::npos || body.find(L'<', i + 1) < close)
            return "stray markup character";
        std::wstring tag = body.substr(i + 1, close - i - 1);
        i = close;
        if (tag == L"br /")
            continue;
        if (!tag.empty() && tag[0] == L'/') {
            if (open.empty() || open.back() != tag.substr(1))
                return "unbalanced";
            open.pop_back();
            continue;
        }
        std::wstring name = tag.substr(0, tag.find(L' '));
        if (name != L"font" && name != L"b" && name != L"i")
            return "unexpected tag";
        open.push_back(name);
    }
    return open.empty() ? "" : "unclosed";
}

// Every leaf text of the tags the page shows, converted as the page converts it.
void CollectLeafTexts(const unsigned char* container, unsigned source, unsigned target,
                      std::vector<std::wstring>& texts) {
    for (unsigned char tag : {0x01, 0x03, 0x08, 0x09, 0x0A, 0x0B}) {
        for (const unsigned char* leaf = DEngine::FindTag(container, tag); leaf != nullptr;
             leaf = DEngine::FindNextTag(container, leaf)) {
            std::string data(reinterpret_cast<const char*>(leaf + 2), leaf[1]);
            texts.push_back(Convert(tag == 0x01 ? target : source, data.c_str()));
        }
    }
}

class RealArticleTest : public ::testing::TestWithParam<Sample> {
protected:
    void TearDown() override { DEngine::DoneDictEngine(); }
};

} // namespace

TEST_P(RealArticleTest, EveryArticleRendersWellFormedWithEveryLeafText) {
    const Sample& sample = GetParam();
    const std::string folder = "/usr/share/dictd/";
    if (!std::filesystem::exists(folder + sample.index))
        GTEST_SKIP() << "the dictionary package is not installed";
    std::vector<dicbuild::SourceEntry> source;
    dicbuild::BuildSummary summary;
    std::string error;
    ASSERT_TRUE(dicbuild::ReadSource(folder + sample.index, folder + sample.data, &source, &summary.problems, &error))
        << error;
    std::vector<dicbuild::SourceEntry> sampled;
    for (std::size_t i = 0; i < source.size(); i += sample.step)
        sampled.push_back(std::move(source[i]));
    testsupport::TempFolder output;
    dicbuild::BuildOptions options{sample.style, "Sample", sample.direction, false};
    ASSERT_TRUE(dicbuild::BuildFromSource(sampled, options, output.File(L"sample.dic"), &summary, &error)) << error;

    ASSERT_EQ(DEngine::InitDictEngine((output.Path().wstring() + L"/").c_str()), 0);
    __DictHandle* handle = DEngine::OpenDictionary(DEngine::GetDictionaryHandle(0, 0));
    ASSERT_NE(handle, nullptr);
    unsigned sourceLanguage = sample.direction >> 8;
    unsigned targetLanguage = sample.direction & 0xFF;
    unsigned long count = DEngine::GetTotalWordCount(handle);
    ASSERT_GT(count, 500u);
    unsigned long leaves = 0;
    for (unsigned long index = 0; index < count; ++index) {
        const unsigned char* article = DEngine::GetArticle(handle, index);
        ASSERT_NE(article, nullptr) << index;
        ArticleParts parts;
        ASSERT_TRUE(ReadArticleParts(article, sourceLanguage, targetLanguage, Convert, parts));
        std::wstring html = BuildArticleHtmlText(parts, 235, 250, PartOfSpeechText);
        ASSERT_EQ(FirstMarkupFault(html), "") << index;
        std::vector<std::wstring> texts;
        for (unsigned short i = 0; i < DEngine::GetSrcPartCount(article); ++i) {
            const unsigned char* part = DEngine::GetSrcPart(article, i);
            CollectLeafTexts(part, sourceLanguage, targetLanguage, texts);
            for (unsigned short j = 0; j < DEngine::GetTranslationCount(part); ++j)
                CollectLeafTexts(DEngine::GetTranslation(part, j), sourceLanguage, targetLanguage, texts);
        }
        for (const std::wstring& text : texts)
            ASSERT_NE(html.find(ovrin::EscapedForHtml(text)), std::wstring::npos) << index;
        leaves += texts.size();
    }
    EXPECT_GT(leaves, count);
    DEngine::CloseDictionary(handle);
}

INSTANTIATE_TEST_SUITE_P(Samples, RealArticleTest, ::testing::ValuesIn(kSamples));
