// Layout of an element tree for a given width: the positions of every piece of text, every border and
// every filled area, as the display draws them. The layout measures text through a callback, so it
// runs the same with the platform's fonts and with a fixed-width fake in tests.
//
// What it knows: paragraphs and blocks (p, div, center, h1-h6, pre, blockquote, lists, hr), tables
// (width in pixels or percent, border, cellspacing, cellpadding, cell width, height, colspan, align,
// valign, bgcolor), font colour and size, bold, italic, underline, links, line breaks, white space
// collapsed as HTML does, words wrapped to the width. Everything else is laid out as its content.
#pragma once

#include "HtmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace htmlview {

// A font as the layout asks for it. Size is the HTML font size, 1 to 7 (3 is the normal text).
struct FontSpec {
    int size = 3;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool monospace = false;

    bool operator==(const FontSpec&) const = default;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
};

class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual FontMetrics Metrics(const FontSpec& font) = 0;
    // The advance width of the text in pixels.
    virtual int Width(const FontSpec& font, std::wstring_view text) = 0;
};

// Colours are 0xRRGGBB.
struct TextBox {
    int x = 0;
    int y = 0; // top of the line box the text sits in
    int width = 0;
    int height = 0;   // ascent + descent of its font
    int baseline = 0; // y of the baseline
    FontSpec font;
    std::uint32_t color = 0;
    std::wstring text;
};

// A rectangle outline (table and cell borders) of the given thickness, drawn inside the rectangle.
struct FrameBox {
    int x = 0, y = 0, width = 0, height = 0;
    int thickness = 1;
    std::uint32_t color = 0;
};

// A filled rectangle (background colours, horizontal rules).
struct FillBox {
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t color = 0;
};

// Where a table cell went (it is not drawn itself: its frame and fill are): the rectangle its frame
// takes, as high as its row, and its content's text boxes, texts[firstText] up to texts[endText].
// The cells of one table row share a row number, counted over the page in document order.
struct CellBox {
    int x = 0, y = 0, width = 0, height = 0;
    int row = 0;
    std::size_t firstText = 0;
    std::size_t endText = 0;
};

struct AnchorPosition {
    std::wstring name;
    int y = 0;
};

struct LayoutOptions {
    int width = 240;            // the width to lay out in, in pixels
    bool shrinkToWidth = false; // wide tables and words are narrowed to the width instead of overflowing
    int margin = 2;             // space around the page
};

struct PageLayout {
    std::vector<FillBox> fills;   // drawn first, in order
    std::vector<FrameBox> frames; // then these
    std::vector<TextBox> texts;   // then the text
    std::vector<AnchorPosition> anchors;
    std::vector<CellBox> cells;
    int width = 0;  // the rightmost edge of anything laid out, margin included
    int height = 0; // the bottom edge of the content, margin included
};

PageLayout LayOutDocument(const Document& document, const LayoutOptions& options, TextMeasurer& measurer);

// Colour attribute values: "#RRGGBB", "RRGGBB", "#RGB" and the sixteen HTML colour names (and a few
// more). False when the value is none of these.
bool ParseColor(std::wstring_view value, std::uint32_t& color);

// The HTML font size of a size attribute relative to the current one: "5", "+1", "-2"; clamped to
// 1..7 (so the suite's size 9 is the largest size).
int ParseFontSize(std::wstring_view value, int current);

} // namespace htmlview
