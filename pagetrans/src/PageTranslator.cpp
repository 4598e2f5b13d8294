// CPageTranslator: the two walks over the parsed page, the batch text and the cutting of the answer.
#include "pagetrans/PageTranslator.h"

#include "HtmlParser.h"
#include "common/CodePage.h"
#include "pagetrans/Entities.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace ovrin {

namespace {

using TreeNode = CHtmlParser::TreeNode;

bool TagNameIs(const std::string& name, const char* wanted) {
    std::size_t length = std::strlen(wanted);
    if (name.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != wanted[i])
            return false;
    }
    return true;
}

bool HasVisibleText(std::wstring_view run) {
    for (wchar_t c : run) {
        if (!IsPageWhiteSpace(c))
            return true;
    }
    return false;
}

} // namespace

bool IsPageWhiteSpace(wchar_t c) {
    unsigned unit = static_cast<unsigned>(c) & 0xFFFF;
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0 || unit == 0x1680 ||
           (unit >= 0x2000 && unit <= 0x200A) || unit == 0x2028 || unit == 0x2029 || unit == 0x202F || unit == 0x205F ||
           unit == 0x3000;
}

CPageTranslator::CPageTranslator(TranslateFunction engine, unsigned codePage)
    : m_engine(std::move(engine)), m_codePage(codePage) {}

CPageTranslator::~CPageTranslator() = default;

// The page as the parser reads it. Runs of plain ASCII are narrowed directly, the rest goes through
// the code page conversion a run at a time (a surrogate pair always stays within one run).
std::string CPageTranslator::ParserText() const {
    std::string text;
    text.reserve(m_page.size() + m_page.size() / 8);
    const std::size_t length = m_page.size();
    std::size_t i = 0;
    while (i < length) {
        std::size_t start = i;
        while (i < length && static_cast<unsigned>(m_page[i]) < 0x80)
            ++i;
        text.append(m_page.begin() + static_cast<std::ptrdiff_t>(start),
                    m_page.begin() + static_cast<std::ptrdiff_t>(i));
        start = i;
        while (i < length && static_cast<unsigned>(m_page[i]) >= 0x80)
            ++i;
        if (i > start)
            text += WideToMultiByte(m_codePage, std::wstring_view(m_page).substr(start, i - start));
    }
    return text;
}

void CPageTranslator::Parse() {
    m_tree = std::make_unique<CHtmlParser>();
    m_tree->Parse(ParserText());
}

bool CPageTranslator::TranslateHtml(std::wstring& result) {
    Parse();
    m_runs.Clear();
    m_runs.Reserve(m_page.size() / 2, m_page.size() / 16);
    WalkTree(kCollect);
    std::size_t count = m_runs.Count();
    if (count == 0)
        return false;

    std::wstring batch = BuildBatch(m_runs);
    DecodeEntities(batch);
    std::wstring answer;
    if (!m_engine || !m_engine(batch, answer))
        answer.clear();
    EncodeEntities(answer);

    CutAnswer(answer, m_runs);
    if (m_runs.Count() != count)
        return false;
    WalkTree(kSubstitute);
    result = std::move(m_page);
    m_page.clear();
    return true;
}

// Node texts are mostly plain ASCII (tags, attributes, English words), which every code page the
// parser is given (UTF-8 and the single-byte ones) maps to the same characters: such a text is widened
// straight into the output instead of through a conversion of its own.
void CPageTranslator::AppendText(std::wstring& out, const std::string& text) const {
    if (m_mode != kCollect)
        AppendWide(out, text);
}

void CPageTranslator::AppendWide(std::wstring& out, const std::string& text) const {
    for (unsigned char c : text) {
        if (c >= 0x80) {
            out += MultiByteToWide(m_codePage, text);
            return;
        }
    }
    out.append(text.begin(), text.end());
}

void CPageTranslator::VisitText(std::wstring& out, const std::string& text) {
    if (m_mode == kCollect) {
        AppendWide(m_runs.Text(), text);
        m_runs.EndRun();
        return;
    }
    if (m_nextRun >= m_runs.Count())
        return;
    std::wstring_view run = m_runs[m_nextRun++];
    if (HasVisibleText(run))
        out += run;
}

// The walk keeps its open elements on a stack of its own, so a page nested a million levels deep
// needs no deeper call stack than a flat one.
bool CPageTranslator::WalkTree(WalkMode mode) {
    m_mode = mode;
    m_nextRun = 0;
    std::wstring out;
    if (mode == kSubstitute)
        out.reserve(m_page.size() + m_page.size() / 4);
    const TreeNode* top = m_tree ? m_tree->Top() : nullptr;
    if (top == nullptr) {
        if (mode == kSubstitute)
            m_page.clear();
        return true;
    }
    AppendText(out, top->data.text());
    std::vector<const TreeNode*> open{top};
    const TreeNode* node = top->first_child;
    while (!open.empty()) {
        if (node == nullptr) {
            const TreeNode* closed = open.back();
            open.pop_back();
            AppendText(out, closed->data.closingText());
            node = open.empty() ? nullptr : closed->next_sibling;
            continue;
        }
        const htmlcxx::HTML::Node& data = node->data;
        if (data.isTag()) {
            if (TagNameIs(data.tagName(), "style")) {
                AppendText(out, data.text());
                if (node->first_child != nullptr)
                    AppendText(out, node->first_child->data.text());
                AppendText(out, data.closingText());
            } else if (!TagNameIs(data.tagName(), "script")) {
                AppendText(out, data.text());
                if (node->first_child != nullptr) {
                    open.push_back(node);
                    node = node->first_child;
                    continue;
                }
                AppendText(out, data.closingText());
            }
        } else if (!data.isComment()) {
            VisitText(out, data.text());
        }
        node = node->next_sibling;
    }
    if (mode == kSubstitute)
        m_page = std::move(out);
    return true;
}

std::wstring CPageTranslator::BuildBatch(const CTextRuns& runs) {
    std::wstring batch;
    batch.reserve(runs.Characters() + runs.Characters() / 64 + runs.Count() * 3 + 1);
    batch += L'|';
    for (std::size_t i = 0; i < runs.Count(); ++i) {
        std::wstring_view run = runs[i];
        batch += L' ';
        std::size_t from = 0;
        for (std::size_t bar = run.find(L'|'); bar != std::wstring_view::npos; bar = run.find(L'|', from)) {
            batch.append(run.substr(from, bar + 1 - from));
            batch += L'|';
            from = bar + 1;
        }
        batch.append(run.substr(from));
        batch += L" |";
    }
    return batch;
}

void CPageTranslator::CutAnswer(const std::wstring& answer, CTextRuns& runs) {
    runs.Clear();
    runs.Reserve(answer.size(), static_cast<std::size_t>(std::count(answer.begin(), answer.end(), L'|')));
    std::wstring& text = runs.Text();
    const std::size_t length = answer.size();
    std::size_t separator = answer.find(L'|');
    while (separator != std::wstring::npos) {
        // The segment runs to the next bar that is not one of a pair; pairs are copied as one bar.
        const std::size_t start = text.size();
        std::size_t from = separator + 1;
        std::size_t bar = answer.find(L'|', from);
        while (bar != std::wstring::npos && bar + 1 < length && answer[bar + 1] == L'|') {
            text.append(answer, from, bar + 1 - from);
            from = bar + 2;
            bar = answer.find(L'|', from);
        }
        text.append(answer, from, (bar == std::wstring::npos ? length : bar) - from);
        // An empty segment is dropped; from the others the framing space at their end goes.
        if (text.size() > start) {
            text.pop_back();
            runs.EndRun();
        }
        separator = bar;
    }
}

std::wstring TranslatePage(const std::wstring& page, const TranslateFunction& engine) {
    CPageTranslator translator(engine);
    translator.SetPage(page);
    std::wstring result;
    if (translator.TranslateHtml(result) && !result.empty())
        return result;
    return page;
}

} // namespace ovrin
