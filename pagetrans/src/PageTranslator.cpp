// CPageTranslator: the two walks over the parsed page, the batch text and the cutting of the answer.
#include "pagetrans/PageTranslator.h"

#include "HtmlParser.h"
#include "common/CodePage.h"
#include "pagetrans/Entities.h"

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

bool HasVisibleText(const std::wstring& run) {
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

void CPageTranslator::Parse() {
    m_tree = std::make_unique<CHtmlParser>();
    m_tree->Parse(WideToMultiByte(m_codePage, m_page));
}

bool CPageTranslator::TranslateHtml(std::wstring& result) {
    Parse();
    m_runs.clear();
    WalkTree(kCollect);
    std::size_t count = m_runs.size();
    if (count == 0)
        return false;

    std::wstring batch = BuildBatch(m_runs);
    DecodeEntities(batch);
    std::wstring answer;
    if (!m_engine || !m_engine(batch, answer))
        answer.clear();
    EncodeEntities(answer);

    m_runs = CutAnswer(answer);
    if (m_runs.size() != count)
        return false;
    WalkTree(kSubstitute);
    result = m_page;
    return true;
}

void CPageTranslator::AppendText(std::wstring& out, const std::string& text) const {
    if (!text.empty())
        out += MultiByteToWide(m_codePage, text);
}

void CPageTranslator::VisitText(std::wstring& out, const std::string& text) {
    if (m_mode == kCollect) {
        m_runs.push_back(MultiByteToWide(m_codePage, text));
        return;
    }
    if (m_nextRun >= m_runs.size())
        return;
    const std::wstring& run = m_runs[m_nextRun++];
    if (HasVisibleText(run))
        out += run;
}

// The walk keeps its open elements on a stack of its own, so a page nested a million levels deep
// needs no deeper call stack than a flat one.
bool CPageTranslator::WalkTree(WalkMode mode) {
    m_mode = mode;
    m_nextRun = 0;
    std::wstring out;
    out.reserve(m_page.size() + m_page.size() / 4);
    const TreeNode* top = m_tree ? m_tree->Top() : nullptr;
    if (top == nullptr) {
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
    m_page = std::move(out);
    return true;
}

std::wstring CPageTranslator::BuildBatch(const std::vector<std::wstring>& runs) {
    std::size_t size = 1;
    for (const std::wstring& run : runs)
        size += run.size() + 3;
    std::wstring batch;
    batch.reserve(size + size / 16);
    batch += L'|';
    for (const std::wstring& run : runs) {
        batch += L' ';
        for (wchar_t c : run) {
            batch += c;
            if (c == L'|')
                batch += L'|';
        }
        batch += L" |";
    }
    return batch;
}

std::vector<std::wstring> CPageTranslator::CutAnswer(const std::wstring& answer) {
    std::vector<std::wstring> runs;
    std::size_t separator = answer.find(L'|');
    const std::size_t length = answer.size();
    while (separator != std::wstring::npos) {
        std::wstring segment;
        std::size_t i = separator + 1;
        while (i < length) {
            if (answer[i] == L'|') {
                if (i + 1 < length && answer[i + 1] == L'|') {
                    segment += L'|';
                    i += 2;
                    continue;
                }
                break;
            }
            segment += answer[i++];
        }
        if (!segment.empty()) {
            segment.pop_back();
            runs.push_back(std::move(segment));
        }
        separator = i < length ? i : std::wstring::npos;
    }
    return runs;
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
