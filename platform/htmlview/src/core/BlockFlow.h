// One block's flow of content: words gathered into lines that wrap at the block's width, and blocks
// (tables, paragraphs) stacked below them. Lines are written to the page as text boxes when they end.
#pragma once

#include "HtmlLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace htmlview {

enum class Align { Left, Center, Right };

// Vertical positions stop growing here, however many tall rows and lines a page has.
constexpr int kMaxPosition = 1 << 28;
inline int SaturatingAdd(int position, int amount) {
    long long sum = static_cast<long long>(position) + amount;
    return static_cast<int>(sum > kMaxPosition ? kMaxPosition : sum);
}

struct Style {
    FontSpec font;
    std::uint32_t color = 0;
    Align align = Align::Left;
    bool preformatted = false;
};

class BlockFlow {
public:
    // breakWords: a word wider than the whole width is broken between characters instead of overflowing.
    BlockFlow(PageLayout& out, TextMeasurer& measurer, int x, int y, int width, Align align, bool breakWords);

    // Text as it stands in the document: white space collapsed (or kept, in preformatted text).
    void AddText(std::wstring_view text, const Style& style);
    // A piece of a word: no break opportunity before it unless a space came first.
    void AddWordPiece(std::wstring_view piece, const Style& style);
    // A collapsible space: a break opportunity, shown only between words on a line.
    void AddSpace(const Style& style);
    // <br>: ends the line; on an empty line makes an empty line of the style's height.
    void AddLineBreak(const Style& style);
    // Ends the line being filled, if any.
    void FinishLine();

    // Vertical space before the next content (the larger of two requests wins; none at the top).
    void RequestSpace(int pixels);
    // Makes room for a block of the given size placed at X() + offset, Y(); returns its top.
    int PlaceBlock(int width, int height, int offset = 0);
    // Where the next block goes, once the pending space is applied.
    int NextBlockTop();

    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Width() const { return m_width; }
    // Where the next line's top will be, pending space included.
    int ContentTop() const { return m_line.empty() && m_word.empty() && m_hasContent ? m_y + m_pendingVertical : m_y; }
    // The widest line or block, measured from X().
    int Extent() const { return m_extent; }
    Align GetAlign() const { return m_align; }
    void SetAlign(Align align) { m_align = align; }

private:
    struct Piece {
        std::wstring text;
        FontSpec font;
        std::uint32_t color = 0;
        int width = 0;
        FontMetrics metrics;
    };

    void CommitWord();
    void AppendToLine(const Piece& piece);
    void BreakWordIntoLine();
    void EmitLine();
    void BeginContent();

    PageLayout& m_out;
    TextMeasurer& m_measurer;
    int m_x;
    int m_y;
    int m_width;
    Align m_align;
    bool m_breakWords;

    std::vector<Piece> m_line;
    int m_lineWidth = 0;
    std::vector<Piece> m_word;
    int m_wordWidth = 0;
    bool m_pendingSpace = false;
    Style m_spaceStyle;
    int m_preColumn = 0;

    bool m_hasContent = false;
    int m_pendingVertical = 0;
    int m_extent = 0;
};

} // namespace htmlview
