// CPageTranslator: the two walks over the parsed page, the batch text and the cutting of the answer.
// TranslateHtml writes the runs straight into the batch and cuts the answer as it rebuilds the page,
// so that a page's text is held once in each form it passes through (page, parser text, batch,
// answer, rebuilt page) and never again as an array of runs.
#include "pagetrans/PageTranslator.h"

#include "EntityEncoder.h"
#include "HtmlParser.h"
#include "base/CodePage.h"
#include "base/Text.h"
#include "pagetrans/Entities.h"

#include <algorithm>
#include <cstring>

namespace ovrin {

namespace {

using TreeNode = CHtmlParser::TreeNode;

bool TagNameIs(const std::string& name, const char* wanted) {
    std::size_t length = std::strlen(wanted);
    if (name.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (ovrin::AsciiLower(name[i]) != wanted[i])
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

// A node text converted to wide text, appended. Node texts are mostly plain ASCII (tags, attributes,
// English words), which every code page the parser is given (UTF-8 and the single-byte ones) maps to
// the same characters: such a text is widened straight into the output, and only the others go
// through a conversion of their own.
void AppendWide(std::wstring& out, const std::string& text, unsigned codePage) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    wchar_t* to = out.data() + start;
    unsigned high = 0;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        high |= byte;
        *to++ = static_cast<wchar_t>(byte);
    }
    if (high >= 0x80) {
        out.resize(start);
        out += MultiByteToWide(codePage, text);
    }
}

// A run as the batch holds it: the run with every "|" doubled.
void AppendDoublingBars(std::wstring& batch, std::wstring_view run) {
    std::size_t from = 0;
    for (std::size_t bar = run.find(L'|'); bar != std::wstring_view::npos; bar = run.find(L'|', from)) {
        batch.append(run.substr(from, bar + 1 - from));
        batch += L'|';
        from = bar + 1;
    }
    batch.append(run.substr(from));
}

// A run added to the batch: a space, the run (a node text, widened) with its bars doubled, " |".
void AppendFramedRun(std::wstring& batch, const std::string& text, unsigned codePage) {
    batch += L' ';
    const std::size_t start = batch.size();
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            batch.resize(start);
            AppendDoublingBars(batch, MultiByteToWide(codePage, text));
            batch += L" |";
            return;
        }
        batch += static_cast<wchar_t>(c);
        if (c == '|')
            batch += L'|';
    }
    batch += L" |";
}

// The runs of an engine's answer one at a time, as CutAnswer cuts them: each is the next segment that
// is not empty, as it stands in the answer (an escaped bar still doubled).
class CAnswerSegments {
public:
    explicit CAnswerSegments(std::wstring_view answer) : m_answer(answer), m_separator(answer.find(L'|')) {}

    bool Next(std::wstring_view& segment) {
        while (m_separator != std::wstring_view::npos) {
            const std::size_t from = m_separator + 1;
            std::size_t bar = m_answer.find(L'|', from);
            while (bar != std::wstring_view::npos && bar + 1 < m_answer.size() && m_answer[bar + 1] == L'|')
                bar = m_answer.find(L'|', bar + 2);
            const std::size_t end = bar == std::wstring_view::npos ? m_answer.size() : bar;
            m_separator = bar;
            if (end > from) {
                segment = m_answer.substr(from, end - from);
                return true;
            }
        }
        return false;
    }

    static std::size_t Count(std::wstring_view answer) {
        CAnswerSegments segments(answer);
        std::size_t count = 0;
        for (std::wstring_view segment; segments.Next(segment);)
            ++count;
        return count;
    }

private:
    std::wstring_view m_answer;
    std::size_t m_separator;
};

// A segment of the answer put into the page as the run it stands for: its bars unescaped, its
// characters encoded, its last character (the framing space) gone; nothing when that leaves white
// space only. Encoding the answer before cutting it would give the same runs: no entity name holds a
// "|", and "|" has no entity.
void AppendAnswerRun(std::wstring& out, std::wstring_view segment) {
    const std::size_t start = out.size();
    std::size_t from = 0;
    for (std::size_t bar = segment.find(L'|'); bar != std::wstring_view::npos; bar = segment.find(L'|', from)) {
        // Every bar inside a segment is the first of a pair; one of the two is kept.
        AppendEncodedEntities(out, segment.substr(from, bar + 1 - from));
        from = bar + 2;
    }
    AppendEncodedEntities(out, segment.substr(from));
    out.pop_back();
    if (!HasVisibleText(std::wstring_view(out).substr(start)))
        out.resize(start);
}

// One walk over the tree below top, each node once in document order: the texts of tags go to out
// when there is one (a collecting walk writes nothing), every text node's text to visitText. The walk
// keeps its open elements on a stack of its own, so a page nested a million levels deep needs no
// deeper call stack than a flat one.
template <typename TextVisitor>
void WalkNodes(const TreeNode* top, unsigned codePage, std::wstring* out, TextVisitor&& visitText) {
    auto append = [out, codePage](const std::string& text) {
        if (out != nullptr)
            AppendWide(*out, text, codePage);
    };
    append(top->data.text());
    std::vector<const TreeNode*> open{top};
    const TreeNode* node = top->first_child;
    while (!open.empty()) {
        if (node == nullptr) {
            const TreeNode* closed = open.back();
            open.pop_back();
            append(closed->data.closingText());
            node = open.empty() ? nullptr : closed->next_sibling;
            continue;
        }
        const htmlcxx::HTML::Node& data = node->data;
        if (data.isTag()) {
            if (TagNameIs(data.tagName(), "style")) {
                append(data.text());
                if (node->first_child != nullptr)
                    append(node->first_child->data.text());
                append(data.closingText());
            } else if (!TagNameIs(data.tagName(), "script")) {
                append(data.text());
                if (node->first_child != nullptr) {
                    open.push_back(node);
                    node = node->first_child;
                    continue;
                }
                append(data.closingText());
            }
        } else if (!data.isComment()) {
            visitText(data.text());
        }
        node = node->next_sibling;
    }
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
        for (; i < length && static_cast<unsigned>(m_page[i]) < 0x80; ++i)
            text += static_cast<char>(m_page[i]);
        std::size_t start = i;
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
    const TreeNode* top = m_tree->Top();
    if (top == nullptr)
        return false;

    // The batch is rarely longer than the page: its runs are part of the page, and the three
    // characters that frame each are fewer than the mark-up between two texts.
    std::wstring batch;
    batch.reserve(m_page.size() + 1);
    batch += L'|';
    std::size_t count = 0;
    WalkNodes(top, m_codePage, nullptr, [&](const std::string& text) {
        AppendFramedRun(batch, text, m_codePage);
        ++count;
    });
    if (count == 0)
        return false;

    DecodeEntities(batch);
    std::wstring answer;
    if (!m_engine || !m_engine(batch, answer))
        answer.clear();
    batch = std::wstring();
    if (CAnswerSegments::Count(answer) != count)
        return false;

    // The rebuilt page takes the place of the page: the tree holds everything it is made from, and
    // the page's storage is already in use, which fresh memory for a second page would not be.
    m_mode = kSubstitute;
    std::wstring out = std::move(m_page);
    out.clear();
    CAnswerSegments segments(answer);
    WalkNodes(top, m_codePage, &out, [&](const std::string&) {
        std::wstring_view segment;
        if (segments.Next(segment))
            AppendAnswerRun(out, segment);
    });
    result = std::move(out);
    m_page.clear();
    return true;
}

bool CPageTranslator::WalkTree(WalkMode mode) {
    m_mode = mode;
    m_nextRun = 0;
    const TreeNode* top = m_tree ? m_tree->Top() : nullptr;
    if (mode == kCollect) {
        if (top != nullptr) {
            WalkNodes(top, m_codePage, nullptr, [this](const std::string& text) {
                AppendWide(m_runs.Text(), text, m_codePage);
                m_runs.EndRun();
            });
        }
        return true;
    }
    std::wstring out;
    if (top != nullptr) {
        out.reserve(m_page.size() + m_page.size() / 4);
        WalkNodes(top, m_codePage, &out, [this, &out](const std::string&) {
            if (m_nextRun >= m_runs.Count())
                return;
            std::wstring_view run = m_runs[m_nextRun++];
            if (HasVisibleText(run))
                out += run;
        });
    }
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
