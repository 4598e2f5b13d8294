// Line filling: words are committed whole when they fit, moved to a new line when they do not, and
// broken between characters only when the block asks for it and the word is wider than a line.
#include "BlockFlow.h"

#include <algorithm>

namespace htmlview {
namespace {

bool IsCollapsibleSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}
bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

BlockFlow::BlockFlow(PageLayout& out, TextMeasurer& measurer, int x, int y, int width, Align align, bool breakWords)
    : m_out(out), m_measurer(measurer), m_x(x), m_y(y), m_width(std::max(width, 1)), m_align(align),
      m_breakWords(breakWords) {}

void BlockFlow::AddText(std::wstring_view text, const Style& style) {
    std::wstring word;
    if (style.preformatted) {
        for (wchar_t c : text) {
            if (c == L'\r')
                continue;
            if (c == L'\n') {
                AddWordPiece(word, style);
                word.clear();
                AddLineBreak(style);
                m_preColumn = 0;
            } else if (c == L'\t') {
                int spaces = 8 - m_preColumn % 8;
                word.append(spaces, L' ');
                m_preColumn += spaces;
            } else {
                word += c;
                ++m_preColumn;
            }
        }
        AddWordPiece(word, style);
        return;
    }
    for (wchar_t c : text) {
        if (IsCollapsibleSpace(c)) {
            if (!word.empty())
                AddWordPiece(word, style);
            word.clear();
            AddSpace(style);
        } else if (c != 0x00AD && c != 0x200B) { // soft hyphen and zero-width space draw nothing
            word += c;
        }
    }
    if (!word.empty())
        AddWordPiece(word, style);
}

void BlockFlow::AddWordPiece(std::wstring_view piece, const Style& style) {
    if (piece.empty())
        return;
    if (!m_word.empty() && m_word.back().font == style.font && m_word.back().color == style.color) {
        int width = m_measurer.Width(style.font, piece);
        m_word.back().text += piece;
        m_word.back().width += width;
        m_wordWidth += width;
        return;
    }
    Piece added{std::wstring(piece), style.font, style.color, m_measurer.Width(style.font, piece),
                m_measurer.Metrics(style.font)};
    m_wordWidth += added.width;
    m_word.push_back(std::move(added));
}

void BlockFlow::AddSpace(const Style& style) {
    CommitWord();
    if (!m_line.empty() && !m_pendingSpace) {
        m_pendingSpace = true;
        m_spaceStyle = style;
    }
}

void BlockFlow::AddLineBreak(const Style& style) {
    CommitWord();
    if (m_line.empty()) {
        BeginContent();
        FontMetrics metrics = m_measurer.Metrics(style.font);
        m_y = SaturatingAdd(m_y, metrics.ascent + metrics.descent);
    } else {
        EmitLine();
    }
    m_pendingSpace = false;
}

void BlockFlow::FinishLine() {
    CommitWord();
    if (!m_line.empty())
        EmitLine();
    m_pendingSpace = false;
}

void BlockFlow::RequestSpace(int pixels) {
    m_pendingVertical = std::max(m_pendingVertical, pixels);
}

int BlockFlow::NextBlockTop() {
    FinishLine();
    BeginContent();
    return m_y;
}

int BlockFlow::PlaceBlock(int width, int height, int offset) {
    int top = NextBlockTop();
    m_y = SaturatingAdd(m_y, std::max(height, 0));
    m_extent = std::max(m_extent, offset + width);
    return top;
}

void BlockFlow::BeginContent() {
    if (m_hasContent)
        m_y = SaturatingAdd(m_y, m_pendingVertical);
    m_pendingVertical = 0;
    m_hasContent = true;
}

void BlockFlow::CommitWord() {
    if (m_word.empty())
        return;
    int spaceWidth = 0;
    if (m_pendingSpace && !m_line.empty())
        spaceWidth = m_measurer.Width(m_spaceStyle.font, L" ");
    if (!m_line.empty() && m_lineWidth + spaceWidth + m_wordWidth > m_width) {
        EmitLine();
        spaceWidth = 0;
    }
    if (spaceWidth > 0) {
        AppendToLine(
            Piece{L" ", m_spaceStyle.font, m_spaceStyle.color, spaceWidth, m_measurer.Metrics(m_spaceStyle.font)});
    }
    m_pendingSpace = false;
    if (m_breakWords && m_line.empty() && m_wordWidth > m_width) {
        BreakWordIntoLine();
    } else {
        for (const Piece& piece : m_word)
            AppendToLine(piece);
    }
    m_word.clear();
    m_wordWidth = 0;
}

// A word wider than the line, character by character (surrogate pairs kept together).
void BlockFlow::BreakWordIntoLine() {
    for (const Piece& piece : m_word) {
        for (std::size_t i = 0; i < piece.text.size();) {
            std::size_t length = IsHighSurrogate(piece.text[i]) && i + 1 < piece.text.size() ? 2 : 1;
            std::wstring_view character = std::wstring_view(piece.text).substr(i, length);
            int width = m_measurer.Width(piece.font, character);
            if (!m_line.empty() && m_lineWidth + width > m_width)
                EmitLine();
            AppendToLine(Piece{std::wstring(character), piece.font, piece.color, width, piece.metrics});
            i += length;
        }
    }
}

void BlockFlow::AppendToLine(const Piece& piece) {
    if (!m_line.empty() && m_line.back().font == piece.font && m_line.back().color == piece.color) {
        m_line.back().text += piece.text;
        m_line.back().width += piece.width;
    } else {
        m_line.push_back(piece);
    }
    m_lineWidth += piece.width;
}

void BlockFlow::EmitLine() {
    BeginContent();
    int ascent = 0;
    int descent = 0;
    for (const Piece& piece : m_line) {
        ascent = std::max(ascent, piece.metrics.ascent);
        descent = std::max(descent, piece.metrics.descent);
    }
    int offset = 0;
    if (m_lineWidth < m_width && m_align == Align::Center)
        offset = (m_width - m_lineWidth) / 2;
    else if (m_lineWidth < m_width && m_align == Align::Right)
        offset = m_width - m_lineWidth;
    int x = m_x + offset;
    for (Piece& piece : m_line) {
        TextBox box;
        box.x = x;
        box.y = m_y;
        box.width = piece.width;
        box.height = ascent + descent;
        box.baseline = m_y + ascent;
        box.font = piece.font;
        box.color = piece.color;
        box.text = std::move(piece.text);
        x += piece.width;
        m_out.texts.push_back(std::move(box));
    }
    m_extent = std::max(m_extent, m_lineWidth);
    m_y = SaturatingAdd(m_y, ascent + descent);
    m_line.clear();
    m_lineWidth = 0;
}

} // namespace htmlview
