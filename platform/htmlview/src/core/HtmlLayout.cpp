// The layout engine: walks the element tree with the inherited style, laying inline content into
// the current block's lines and blocks below one another; tables get columns from their cells'
// narrowest and widest content, measured once per cell and kept for the pass.
#include "HtmlLayout.h"

#include "BlockFlow.h"

#include <algorithm>
#include <unordered_map>

namespace htmlview {
namespace {

using namespace std::string_view_literals;

constexpr int kUnbounded = 1 << 22;
constexpr std::uint32_t kLinkColor = 0x0000EE;
constexpr std::uint32_t kBorderColor = 0x808080;
constexpr std::uint32_t kRuleColor = 0xA0A0A0;
constexpr int kIndent = 20;
constexpr int kMaxColumns = 256;
// Lengths written in attributes are taken up to this many pixels.
constexpr int kMaxLength = 100000;

// Element names are compared many times for every element laid out: the lists are arrays of
// views whose lengths are known when compiling, and names of another length are passed over
// without comparing their characters.
template <std::size_t N>
bool IsOneOf(std::wstring_view name, const std::wstring_view (&names)[N]) {
    for (std::wstring_view candidate : names) {
        if (candidate.size() != name.size())
            continue;
        std::size_t i = 0;
        while (i < name.size() && name[i] == candidate[i])
            ++i;
        if (i == name.size())
            return true;
    }
    return false;
}

constexpr std::wstring_view kSkipped[] = {L"head",     L"script", L"style", L"title",
                                          L"template", L"meta",   L"link",  L"base"};
constexpr std::wstring_view kBlocks[] = {
    L"p",          L"div",     L"center",   L"h1",      L"h2",      L"h3",      L"h4",       L"h5",  L"h6",
    L"blockquote", L"ul",      L"ol",       L"dl",      L"dt",      L"dd",      L"li",       L"pre", L"xmp",
    L"listing",    L"address", L"form",     L"section", L"article", L"header",  L"footer",   L"nav", L"aside",
    L"main",       L"figure",  L"fieldset", L"menu",    L"dir",     L"caption", L"noscript", L"tr",  L"td",
    L"th",         L"tbody",   L"thead",    L"tfoot",   L"textarea"};
constexpr std::wstring_view kBold[] = {L"b", L"strong", L"th"};
constexpr std::wstring_view kItalic[] = {L"i", L"em", L"cite", L"var", L"dfn", L"address"};
constexpr std::wstring_view kUnderlined[] = {L"u", L"ins"};
constexpr std::wstring_view kMonospace[] = {L"tt", L"code", L"kbd", L"samp", L"pre", L"xmp", L"listing", L"textarea"};
constexpr std::wstring_view kPreformatted[] = {L"pre", L"xmp", L"listing", L"textarea"};
constexpr std::wstring_view kAligned[] = {L"p", L"div", L"h1", L"h2", L"h3", L"h4", L"h5", L"h6", L"td", L"th", L"tr"};
constexpr std::wstring_view kLists[] = {L"li", L"ul", L"ol"};
constexpr std::wstring_view kSpacedBlocks[] = {L"p",  L"blockquote", L"pre", L"dl", L"h1",
                                               L"h2", L"h3",         L"h4",  L"h5", L"h6"};
constexpr std::wstring_view kIndented[] = {L"blockquote", L"ul", L"ol", L"dd", L"menu", L"dir"};

bool IsSkipped(std::wstring_view name) {
    return IsOneOf(name, kSkipped);
}

bool IsBlock(std::wstring_view name) {
    return IsOneOf(name, kBlocks);
}

// A number at the start of an attribute value ("300", "300px", " 40%"); fallback when there is none.
int LeadingNumber(std::wstring_view value, int fallback, bool* percent = nullptr) {
    std::size_t i = 0;
    while (i < value.size() && value[i] == L' ')
        ++i;
    long number = 0;
    std::size_t first = i;
    while (i < value.size() && value[i] >= L'0' && value[i] <= L'9') {
        number = std::min<long>(number * 10 + (value[i] - L'0'), kUnbounded);
        ++i;
    }
    if (i == first)
        return fallback;
    while (i < value.size() && (value[i] == L'.' || (value[i] >= L'0' && value[i] <= L'9')))
        ++i;
    if (percent != nullptr)
        *percent = i < value.size() && value[i] == L'%';
    return static_cast<int>(number);
}

int IntegerAttribute(const Node& node, std::wstring_view name, int fallback, int low, int high) {
    const std::wstring* value = node.FindAttribute(name);
    if (value == nullptr)
        return fallback;
    return std::clamp(LeadingNumber(*value, fallback), low, high);
}

// A length attribute: pixels, or percent of the available width; -1 when absent or unreadable.
int LengthAttribute(const Node& node, std::wstring_view name, int available, bool allowPercent) {
    const std::wstring* value = node.FindAttribute(name);
    if (value == nullptr)
        return -1;
    bool percent = false;
    int number = LeadingNumber(*value, -1, &percent);
    if (number < 0)
        return -1;
    if (percent) {
        if (!allowPercent)
            return -1;
        return static_cast<int>(static_cast<long long>(available) * std::min(number, 100) / 100);
    }
    return std::min(number, kMaxLength);
}

bool AlignAttribute(const Node& node, Align& align) {
    const std::wstring* value = node.FindAttribute(L"align");
    if (value == nullptr)
        return false;
    std::wstring lower;
    for (wchar_t c : *value)
        lower += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    if (lower == L"center" || lower == L"middle")
        align = Align::Center;
    else if (lower == L"right")
        align = Align::Right;
    else if (lower == L"left" || lower == L"justify")
        align = Align::Left;
    else
        return false;
    return true;
}

struct MinMax {
    int min = 0;
    int max = 0;
};

// How much of each kind of box the page held at one moment: the boxes made between two marks are
// the content laid out in between.
struct OutputMark {
    std::size_t fills, frames, texts, anchors, cells;
};

// A table's cells and rows as the layout collects them, and its columns' extents.
struct TableCell {
    const Node* node;
    Style style;
    int column;
    int span;
    int fixedWidth;
};
struct TableRow {
    const Node* node;
    std::vector<TableCell> cells;
};
struct TableRows {
    std::vector<TableRow> rows;
    const Node* caption = nullptr;
};
// Each column's narrowest and widest width (an asked-for width folded in), and their sums.
struct ColumnExtents {
    int columns = 0;
    std::vector<int> minWidth, maxWidth;
    long sumMin = 0, sumMax = 0;
};
// The table's frame: its border, the cells' border, spacing and padding.
struct TableFrame {
    int border;
    int cellBorder;
    int spacing;
    int padding;
};

class LayoutEngine {
public:
    LayoutEngine(const LayoutOptions& options, TextMeasurer& measurer, PageLayout& out)
        : m_options(options), m_measurer(measurer), m_out(&out) {}

    void LayOutChildren(const Node& node, const Style& style, BlockFlow& flow);

private:
    void LayOutNode(const Node& node, const Style& style, BlockFlow& flow);
    Style StyleFor(const Node& element, const Style& inherited) const;
    void LayOutBlock(const Node& element, const Style& style, BlockFlow& flow);
    void LayOutListItem(const Node& item, const Style& style, BlockFlow& flow);
    void LayOutRule(BlockFlow& flow);
    void LayOutTable(const Node& table, const Style& style, BlockFlow& flow);
    TableRows CollectTableRows(const Node& table, const Style& tableStyle);
    ColumnExtents MeasureColumns(std::vector<TableRow>& rows, const TableFrame& frame, int available);
    // Lays out one row's cells at y, each its content at the cell's vertical alignment; the row's height.
    int LayOutTableRow(const TableRow& row, const std::vector<int>& columnLeft, const TableFrame& frame, int y);
    MinMax Intrinsic(const Node& content, const Style& style);
    int LineHeight(const FontSpec& font) {
        FontMetrics metrics = m_measurer.Metrics(font);
        return metrics.ascent + metrics.descent;
    }
    OutputMark Mark() const {
        return {m_out->fills.size(), m_out->frames.size(), m_out->texts.size(), m_out->anchors.size(),
                m_out->cells.size()};
    }
    // Moves the boxes made from one mark up to another down by dy.
    void ShiftBetween(const OutputMark& from, const OutputMark& to, int dy);
    void AddAnchor(const Node& element, int y);

    const LayoutOptions& m_options;
    TextMeasurer& m_measurer;
    PageLayout* m_out;
    bool m_measuring = false;
    std::unordered_map<const Node*, MinMax> m_intrinsic;
    // The ordered list whose items are being laid out, and the number of its next item. Its items
    // are laid out in document order, so a running count numbers them.
    const Node* m_numberedList = nullptr;
    int m_nextNumber = 0;
    int m_tableRows = 0; // table rows laid out so far, numbering the cells' rows
};

Style LayoutEngine::StyleFor(const Node& element, const Style& inherited) const {
    Style style = inherited;
    const std::wstring& name = element.name;
    if (IsOneOf(name, kBold))
        style.font.bold = true;
    if (IsOneOf(name, kItalic))
        style.font.italic = true;
    if (IsOneOf(name, kUnderlined))
        style.font.underline = true;
    if (IsOneOf(name, kMonospace))
        style.font.monospace = true;
    if (IsOneOf(name, kPreformatted))
        style.preformatted = true;
    if (name == L"big"sv)
        style.font.size = std::min(style.font.size + 1, 7);
    if (name == L"small"sv)
        style.font.size = std::max(style.font.size - 1, 1);
    if (name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6') {
        style.font.bold = true;
        style.font.size = 6 - (name[1] - L'1'); // h1 is size 6, h6 size 1
    }
    if (name == L"font"sv) {
        if (const std::wstring* color = element.FindAttribute(L"color"))
            ParseColor(*color, style.color);
        if (const std::wstring* size = element.FindAttribute(L"size"))
            style.font.size = ParseFontSize(*size, style.font.size);
    }
    if (name == L"a"sv && element.FindAttribute(L"href") != nullptr) {
        style.color = kLinkColor;
        style.font.underline = true;
    }
    if (name == L"center"sv)
        style.align = Align::Center;
    if (name == L"td"sv)
        style.align = Align::Left;
    if (name == L"th"sv)
        style.align = Align::Center;
    if (IsOneOf(name, kAligned))
        AlignAttribute(element, style.align);
    return style;
}

void LayoutEngine::AddAnchor(const Node& element, int y) {
    if (m_measuring)
        return;
    for (std::wstring_view attribute : {L"name", L"id"}) {
        const std::wstring* value = element.FindAttribute(attribute);
        if (value != nullptr && !value->empty() && (attribute == L"id" || element.name == L"a"sv))
            m_out->anchors.push_back({*value, y});
    }
}

void LayoutEngine::LayOutChildren(const Node& node, const Style& style, BlockFlow& flow) {
    for (const auto& child : node.children)
        LayOutNode(*child, style, flow);
}

void LayoutEngine::LayOutNode(const Node& node, const Style& style, BlockFlow& flow) {
    if (node.kind == Node::Kind::Text) {
        flow.AddText(node.text, style);
        return;
    }
    const std::wstring& name = node.name;
    if (IsSkipped(name))
        return;
    bool block = IsBlock(name) || name == L"table"sv || name == L"li"sv;
    if (!block)
        AddAnchor(node, flow.ContentTop());
    if (name == L"br"sv) {
        flow.AddLineBreak(style);
        return;
    }
    if (name == L"img"sv) {
        if (const std::wstring* alt = node.FindAttribute(L"alt"))
            flow.AddText(*alt, style);
        return;
    }
    if (name == L"hr"sv) {
        LayOutRule(flow);
        return;
    }
    Style inner = StyleFor(node, style);
    if (name == L"table"sv) {
        LayOutTable(node, inner, flow);
        return;
    }
    if (name == L"li"sv) {
        LayOutListItem(node, inner, flow);
        return;
    }
    if (IsBlock(name)) {
        LayOutBlock(node, inner, flow);
        return;
    }
    LayOutChildren(node, inner, flow);
}

void LayoutEngine::LayOutBlock(const Node& element, const Style& style, BlockFlow& flow) {
    const std::wstring& name = element.name;
    flow.FinishLine();
    int margin = 0;
    bool nestedList =
        (name == L"ul"sv || name == L"ol"sv) && element.parent != nullptr && IsOneOf(element.parent->name, kLists);
    if (IsOneOf(name, kSpacedBlocks) || ((name == L"ul"sv || name == L"ol"sv) && !nestedList))
        margin = LineHeight(style.font) / 2;
    int indent = IsOneOf(name, kIndented) ? kIndent : 0;
    flow.RequestSpace(margin);
    int top = flow.NextBlockTop();
    AddAnchor(element, top);
    BlockFlow inner(*m_out, m_measurer, flow.X() + indent, top, flow.Width() - indent, style.align,
                    m_options.shrinkToWidth && !m_measuring);
    const Node* outerList = m_numberedList;
    int outerNumber = m_nextNumber;
    if (name == L"ol"sv) {
        m_numberedList = &element;
        m_nextNumber = IntegerAttribute(element, L"start", 1, -1000000, 1000000);
    }
    LayOutChildren(element, style, inner);
    m_numberedList = outerList;
    m_nextNumber = outerNumber;
    inner.FinishLine();
    flow.PlaceBlock(inner.Extent() + indent, inner.Y() - top);
    flow.RequestSpace(margin);
}

void LayoutEngine::LayOutListItem(const Node& item, const Style& style, BlockFlow& flow) {
    std::wstring marker = L"\x2022";
    if (item.parent != nullptr && item.parent == m_numberedList)
        marker = std::to_wstring(m_nextNumber++) + L".";
    flow.FinishLine();
    int top = flow.NextBlockTop();
    AddAnchor(item, top);
    OutputMark mark = Mark();
    BlockFlow inner(*m_out, m_measurer, flow.X(), top, flow.Width(), style.align,
                    m_options.shrinkToWidth && !m_measuring);
    LayOutChildren(item, style, inner);
    inner.FinishLine();
    flow.PlaceBlock(inner.Extent(), inner.Y() - top);

    // The marker hangs left of the item, on the baseline of its first line.
    FontMetrics metrics = m_measurer.Metrics(style.font);
    int baseline = top + metrics.ascent;
    if (m_out->texts.size() > mark.texts)
        baseline = m_out->texts[mark.texts].baseline;
    TextBox box;
    box.width = m_measurer.Width(style.font, marker);
    box.x = flow.X() - box.width - 4;
    box.height = metrics.ascent + metrics.descent;
    box.baseline = baseline;
    box.y = baseline - metrics.ascent;
    box.font = style.font;
    box.color = style.color;
    box.text = marker;
    m_out->texts.push_back(std::move(box));
}

void LayoutEngine::LayOutRule(BlockFlow& flow) {
    flow.RequestSpace(4);
    int top = flow.PlaceBlock(flow.Width(), 2);
    m_out->fills.push_back({flow.X(), top, flow.Width(), 2, kRuleColor});
    flow.RequestSpace(4);
}

void LayoutEngine::ShiftBetween(const OutputMark& from, const OutputMark& to, int dy) {
    if (dy == 0)
        return;
    for (std::size_t i = from.fills; i < to.fills; ++i)
        m_out->fills[i].y += dy;
    for (std::size_t i = from.frames; i < to.frames; ++i)
        m_out->frames[i].y += dy;
    for (std::size_t i = from.texts; i < to.texts; ++i) {
        m_out->texts[i].y += dy;
        m_out->texts[i].baseline += dy;
    }
    for (std::size_t i = from.anchors; i < to.anchors; ++i)
        m_out->anchors[i].y += dy;
    for (std::size_t i = from.cells; i < to.cells; ++i)
        m_out->cells[i].y += dy;
}

// The narrowest and widest a cell's content can be laid out: each word on a line of its own, and no
// line broken at all. Measured into a scratch page, once per cell and pass.
MinMax LayoutEngine::Intrinsic(const Node& content, const Style& style) {
    auto cached = m_intrinsic.find(&content);
    if (cached != m_intrinsic.end())
        return cached->second;
    PageLayout scratch;
    PageLayout* saved = m_out;
    bool savedMeasuring = m_measuring;
    m_out = &scratch;
    m_measuring = true;
    MinMax result;
    for (int width : {kUnbounded, 1}) {
        BlockFlow flow(scratch, m_measurer, 0, 0, width, Align::Left, false);
        LayOutChildren(content, style, flow);
        flow.FinishLine();
        (width == 1 ? result.min : result.max) = flow.Extent();
    }
    result.max = std::max(result.max, result.min);
    m_out = saved;
    m_measuring = savedMeasuring;
    m_intrinsic.emplace(&content, result);
    return result;
}

TableRows LayoutEngine::CollectTableRows(const Node& table, const Style& tableStyle) {
    TableRows collected;
    auto collectRow = [&](const Node& row) {
        TableRow cells{&row, {}};
        Style rowStyle = StyleFor(row, tableStyle);
        for (const auto& child : row.children) {
            if (child->IsElement(L"td") || child->IsElement(L"th"))
                cells.cells.push_back({child.get(), StyleFor(*child, rowStyle), 0,
                                       IntegerAttribute(*child, L"colspan", 1, 1, kMaxColumns), -1});
        }
        collected.rows.push_back(std::move(cells));
    };
    for (const auto& child : table.children) {
        if (child->IsElement(L"tr")) {
            collectRow(*child);
        } else if (child->IsElement(L"tbody") || child->IsElement(L"thead") || child->IsElement(L"tfoot")) {
            for (const auto& row : child->children) {
                if (row->IsElement(L"tr"))
                    collectRow(*row);
            }
        } else if (child->IsElement(L"caption") && collected.caption == nullptr) {
            collected.caption = child.get();
        }
    }

    return collected;
}

ColumnExtents LayoutEngine::MeasureColumns(std::vector<TableRow>& rows, const TableFrame& frame, int available) {
    // Columns, and each column's narrowest, widest and asked-for width.
    ColumnExtents extents;
    int& columns = extents.columns;
    for (TableRow& row : rows) {
        int column = 0;
        for (TableCell& cell : row.cells) {
            cell.column = std::min(column, kMaxColumns - 1);
            cell.span = std::min(cell.span, kMaxColumns - cell.column);
            column = cell.column + cell.span;
        }
        columns = std::max(columns, column);
    }
    std::vector<int>& minWidth = extents.minWidth;
    std::vector<int>& maxWidth = extents.maxWidth;
    minWidth.assign(columns, 0);
    maxWidth.assign(columns, 0);
    std::vector<int> fixed(columns, -1);
    int cellChrome = 2 * (frame.padding + frame.cellBorder);
    for (int pass = 0; pass < 2; ++pass) { // single-column cells first, then spanning ones
        for (TableRow& row : rows) {
            for (TableCell& cell : row.cells) {
                if ((pass == 0) != (cell.span == 1))
                    continue;
                MinMax content = Intrinsic(*cell.node, cell.style);
                cell.fixedWidth = LengthAttribute(*cell.node, L"width", available, !m_measuring);
                int low = content.min + cellChrome;
                int high = std::max(content.max + cellChrome, cell.fixedWidth);
                if (cell.span == 1) {
                    minWidth[cell.column] = std::max(minWidth[cell.column], low);
                    maxWidth[cell.column] = std::max(maxWidth[cell.column], high);
                    if (cell.fixedWidth >= 0)
                        fixed[cell.column] = std::max(fixed[cell.column], std::max(cell.fixedWidth, low));
                    continue;
                }
                int spanned = frame.spacing * (cell.span - 1);
                int spannedMin = spanned, spannedMax = spanned;
                for (int c = cell.column; c < cell.column + cell.span; ++c) {
                    spannedMin += minWidth[c];
                    spannedMax += maxWidth[c];
                }
                for (int c = cell.column; c < cell.column + cell.span; ++c) {
                    if (low > spannedMin)
                        minWidth[c] += (low - spannedMin + cell.span - 1) / cell.span;
                    if (high > spannedMax)
                        maxWidth[c] += (high - spannedMax + cell.span - 1) / cell.span;
                    maxWidth[c] = std::max(maxWidth[c], minWidth[c]);
                }
            }
        }
    }
    for (int c = 0; c < columns; ++c) {
        if (fixed[c] >= 0)
            maxWidth[c] = std::max(fixed[c], minWidth[c]);
        extents.sumMin += minWidth[c];
        extents.sumMax += maxWidth[c];
    }
    return extents;
}

// The columns' widths that share content pixels: each its widest and a share of what is left over, else
// its narrowest and a share of the room above that, else its part of the narrowest widths.
std::vector<int> ShareColumnWidths(const ColumnExtents& e, long content) {
    std::vector<int> columnWidth(e.columns, 0);
    if (e.columns > 0) {
        if (content >= e.sumMax) {
            long extra = content - e.sumMax;
            long given = 0;
            for (int c = 0; c < e.columns; ++c) {
                long share = e.sumMax > 0 ? extra * e.maxWidth[c] / e.sumMax : extra / e.columns;
                columnWidth[c] = static_cast<int>(e.maxWidth[c] + share);
                given += share;
            }
            columnWidth[e.columns - 1] += static_cast<int>(extra - given);
        } else if (content >= e.sumMin) {
            long room = content - e.sumMin, range = e.sumMax - e.sumMin, given = 0;
            for (int c = 0; c < e.columns; ++c) {
                long share = range > 0 ? room * (e.maxWidth[c] - e.minWidth[c]) / range : 0;
                columnWidth[c] = static_cast<int>(e.minWidth[c] + share);
                given += share;
            }
            columnWidth[e.columns - 1] += static_cast<int>(room - given);
        } else {
            for (int c = 0; c < e.columns; ++c)
                columnWidth[c] =
                    std::max<int>(1, e.sumMin > 0 ? static_cast<int>(content * e.minWidth[c] / e.sumMin) : 1);
        }
    }
    return columnWidth;
}

int LayoutEngine::LayOutTableRow(const TableRow& row, const std::vector<int>& columnLeft, const TableFrame& frame,
                                 int y) {
    std::uint32_t rowColor = 0;
    const std::wstring* rowColorValue = row.node->FindAttribute(L"bgcolor");
    bool rowHasColor = rowColorValue != nullptr && ParseColor(*rowColorValue, rowColor);
    // Each cell's boxes: its fill, frame and area, then its content's, from begin up to end.
    struct Placed {
        OutputMark begin;
        OutputMark end;
        int contentHeight;
        std::size_t fill;
        bool hasFill;
        std::size_t frame;
        std::size_t area;
    };
    std::vector<Placed> placed;
    int rowHeight = 0;
    int rowNumber = m_tableRows++;
    for (const TableCell& cell : row.cells) {
        int x = columnLeft[cell.column];
        int cellWidth = columnLeft[cell.column + cell.span] - x - frame.spacing;
        std::uint32_t cellColor = rowColor;
        const std::wstring* cellColorValue = cell.node->FindAttribute(L"bgcolor");
        bool hasFill = (cellColorValue != nullptr && ParseColor(*cellColorValue, cellColor)) || rowHasColor;
        std::size_t fill = m_out->fills.size();
        if (hasFill)
            m_out->fills.push_back({x, y, cellWidth, 0, cellColor});
        std::size_t frameBox = m_out->frames.size();
        if (frame.cellBorder > 0)
            m_out->frames.push_back({x, y, cellWidth, 0, frame.cellBorder, kBorderColor});
        std::size_t area = m_out->cells.size();
        m_out->cells.push_back({x, y, cellWidth, 0, rowNumber, m_out->texts.size(), 0});
        OutputMark begin = Mark();
        int inset = frame.padding + frame.cellBorder;
        BlockFlow cellFlow(*m_out, m_measurer, x + inset, y + inset, cellWidth - 2 * inset, cell.style.align,
                           m_options.shrinkToWidth && !m_measuring);
        LayOutChildren(*cell.node, cell.style, cellFlow);
        cellFlow.FinishLine();
        int contentHeight = cellFlow.Y() - (y + inset);
        int cellHeight = contentHeight + 2 * inset;
        int askedHeight = LengthAttribute(*cell.node, L"height", 0, false);
        rowHeight = std::max({rowHeight, cellHeight, askedHeight, LengthAttribute(*row.node, L"height", 0, false)});
        OutputMark end = Mark();
        m_out->cells[area].endText = end.texts;
        placed.push_back({begin, end, contentHeight, fill, hasFill, frameBox, area});
    }
    // Cells take the row's height; their content moves to the cell's vertical alignment.
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const TableCell& cell = row.cells[i];
        const std::wstring* valign = cell.node->FindAttribute(L"valign");
        if (valign == nullptr)
            valign = row.node->FindAttribute(L"valign");
        int inset = frame.padding + frame.cellBorder;
        int room = rowHeight - 2 * inset - placed[i].contentHeight;
        int shift = room / 2;
        if (valign != nullptr && (*valign == L"top" || *valign == L"TOP"))
            shift = 0;
        else if (valign != nullptr && (*valign == L"bottom" || *valign == L"BOTTOM"))
            shift = room;
        if (placed[i].hasFill)
            m_out->fills[placed[i].fill].height = rowHeight;
        if (frame.cellBorder > 0)
            m_out->frames[placed[i].frame].height = rowHeight;
        m_out->cells[placed[i].area].height = rowHeight;
        ShiftBetween(placed[i].begin, placed[i].end, std::max(shift, 0));
    }
    return rowHeight;
}

void LayoutEngine::LayOutTable(const Node& table, const Style& style, BlockFlow& flow) {
    Style tableStyle = style;
    tableStyle.align = Align::Left;
    TableRows collected = CollectTableRows(table, tableStyle);
    std::vector<TableRow>& rows = collected.rows;
    const std::wstring* borderValue = table.FindAttribute(L"border");
    int border = borderValue == nullptr ? 0 : std::clamp(LeadingNumber(*borderValue, 1), 0, 20);
    int cellBorder = border > 0 ? 1 : 0;
    int spacing = IntegerAttribute(table, L"cellspacing", 2, 0, 50);
    int padding = IntegerAttribute(table, L"cellpadding", 1, 0, 50);
    int available = flow.Width();

    const TableFrame frame{border, cellBorder, spacing, padding};
    ColumnExtents extents = MeasureColumns(rows, frame, available);
    const int columns = extents.columns;
    const long sumMin = extents.sumMin, sumMax = extents.sumMax;

    // The table's width.
    int chrome = 2 * border + spacing * (columns + 1);
    int asked = LengthAttribute(table, L"width", available, !m_measuring);
    long width = asked >= 0 ? asked : std::min<long>(available, sumMax + chrome);
    if (asked >= 0 && m_options.shrinkToWidth && !m_measuring && width > available)
        width = available;
    if (width < sumMin + chrome)
        width = m_options.shrinkToWidth && !m_measuring ? std::max<long>(available, chrome + columns) : sumMin + chrome;
    width = std::min<long>(std::max<long>(width, chrome), kUnbounded);

    std::vector<int> columnWidth = ShareColumnWidths(extents, std::max<long>(width - chrome, 0));

    // Measuring a cell that holds this table needs only the table's width: its cells' own widths are
    // measured once and kept, and laying their content out again here would repeat that work at
    // every level of nesting.
    if (m_measuring) {
        flow.PlaceBlock(static_cast<int>(width), 0);
        return;
    }

    // Placement in the flow.
    flow.FinishLine();
    int offset = 0;
    Align tableAlign = Align::Left;
    if (AlignAttribute(table, tableAlign) && width < available)
        offset = tableAlign == Align::Center  ? static_cast<int>(available - width) / 2
                 : tableAlign == Align::Right ? static_cast<int>(available - width)
                                              : 0;
    int left = flow.X() + offset;
    int top = flow.NextBlockTop();
    AddAnchor(table, top);
    int y = top;

    std::size_t tableFill = m_out->fills.size();
    std::uint32_t background = 0;
    const std::wstring* tableColor = table.FindAttribute(L"bgcolor");
    bool tableHasBackground = tableColor != nullptr && ParseColor(*tableColor, background);
    if (tableHasBackground)
        m_out->fills.push_back({left, top, static_cast<int>(width), 0, background});

    if (const Node* caption = collected.caption) {
        Style captionStyle = StyleFor(*caption, tableStyle);
        BlockFlow captionFlow(*m_out, m_measurer, left, y, static_cast<int>(width), Align::Center,
                              m_options.shrinkToWidth && !m_measuring);
        LayOutChildren(*caption, captionStyle, captionFlow);
        captionFlow.FinishLine();
        y = captionFlow.Y();
    }
    int tableTop = y;
    y += border + spacing;
    // columnLeft[c]: the left edge of column c; columnLeft[columns] is one spacing past the last.
    std::vector<int> columnLeft(columns + 1, left + border + spacing);
    for (int c = 0; c < columns; ++c)
        columnLeft[c + 1] = columnLeft[c] + columnWidth[c] + spacing;
    for (const TableRow& row : rows)
        y = SaturatingAdd(y, LayOutTableRow(row, columnLeft, frame, y) + spacing);
    y += border;
    int height = y - top;
    if (tableHasBackground)
        m_out->fills[tableFill].height = height;
    if (border > 0)
        m_out->frames.push_back({left, tableTop, static_cast<int>(width), y - tableTop, border, kBorderColor});
    flow.PlaceBlock(static_cast<int>(width), height, offset);
}

// Most pages make a text box of each text and a marker of each list item; reserving that many up
// front saves moving every box made so far each time the page's list of them grows.
std::size_t TextBoxesAtLeast(const Node& node) {
    std::size_t count = node.kind == Node::Kind::Text || node.IsElement(L"li"sv) ? 1 : 0;
    for (const auto& child : node.children)
        count += TextBoxesAtLeast(*child);
    return count;
}

} // namespace

bool ParseColor(std::wstring_view value, std::uint32_t& color) {
    static constexpr struct {
        std::wstring_view name;
        std::uint32_t color;
    } kNames[] = {{L"black", 0x000000},   {L"silver", 0xC0C0C0}, {L"gray", 0x808080},  {L"grey", 0x808080},
                  {L"white", 0xFFFFFF},   {L"maroon", 0x800000}, {L"red", 0xFF0000},   {L"purple", 0x800080},
                  {L"fuchsia", 0xFF00FF}, {L"green", 0x008000},  {L"lime", 0x00FF00},  {L"olive", 0x808000},
                  {L"yellow", 0xFFFF00},  {L"navy", 0x000080},   {L"blue", 0x0000FF},  {L"teal", 0x008080},
                  {L"aqua", 0x00FFFF},    {L"orange", 0xFFA500}, {L"brown", 0xA52A2A}, {L"darkgreen", 0x006400}};
    while (!value.empty() && value.front() == L' ')
        value.remove_prefix(1);
    while (!value.empty() && value.back() == L' ')
        value.remove_suffix(1);
    std::wstring lower;
    for (wchar_t c : value)
        lower += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    for (const auto& named : kNames) {
        if (lower == named.name) {
            color = named.color;
            return true;
        }
    }
    std::wstring_view digits = lower;
    if (!digits.empty() && digits.front() == L'#')
        digits.remove_prefix(1);
    if (digits.size() != 6 && digits.size() != 3)
        return false;
    std::uint32_t parsed = 0;
    for (wchar_t c : digits) {
        int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
        if (digit < 0)
            return false;
        parsed = parsed * 16 + digit;
        if (digits.size() == 3)
            parsed = parsed * 16 + digit; // "#RGB" means "#RRGGBB"
    }
    color = parsed;
    return true;
}

int ParseFontSize(std::wstring_view value, int current) {
    while (!value.empty() && value.front() == L' ')
        value.remove_prefix(1);
    int sign = 0;
    if (!value.empty() && (value.front() == L'+' || value.front() == L'-')) {
        sign = value.front() == L'+' ? 1 : -1;
        value.remove_prefix(1);
    }
    int number = LeadingNumber(value, -1);
    if (number < 0)
        return current;
    long size = sign == 0 ? number : 3 + sign * static_cast<long>(number);
    return static_cast<int>(std::clamp<long>(size, 1, 7));
}

PageLayout LayOutDocument(const Document& document, const LayoutOptions& options, TextMeasurer& measurer) {
    PageLayout page;
    page.texts.reserve(TextBoxesAtLeast(document.Root()));
    int margin = std::max(options.margin, 0);
    int width = std::max(options.width - 2 * margin, 1);
    LayoutEngine engine(options, measurer, page);
    BlockFlow flow(page, measurer, margin, margin, width, Align::Left, options.shrinkToWidth);
    engine.LayOutChildren(document.Root(), Style{}, flow);
    flow.FinishLine();
    page.width = flow.Extent() + 2 * margin;
    page.height = flow.Y() + margin;
    return page;
}

} // namespace htmlview
