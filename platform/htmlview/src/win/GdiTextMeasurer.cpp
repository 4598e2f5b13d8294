// GDI fonts for the layout: a proportional face for text and a fixed one for preformatted text,
// sizes on a scale chosen for small screens.
#include "GdiTextMeasurer.h"

#include <algorithm>

namespace {

constexpr wchar_t kTextFace[] = L"Tahoma";
constexpr wchar_t kFixedFace[] = L"Courier New";

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

int CGdiTextMeasurer::PixelHeight(int size) {
    // Size 3 is the normal text; 7, the largest, stays readable beside it on a phone-sized window.
    static constexpr int kHeights[] = {9, 10, 12, 13, 14, 15, 17};
    return kHeights[std::clamp(size, 1, 7) - 1];
}

CGdiTextMeasurer::CGdiTextMeasurer() : m_dc(CreateCompatibleDC(nullptr)) {}

CGdiTextMeasurer::~CGdiTextMeasurer() {
    for (auto& entry : m_fonts)
        DeleteObject(entry->font);
    if (m_dc != nullptr)
        DeleteDC(m_dc);
}

CGdiTextMeasurer::FontEntry& CGdiTextMeasurer::Entry(const htmlview::FontSpec& font) {
    if (m_last != nullptr && m_last->style == font)
        return *m_last;
    for (auto& entry : m_fonts) {
        if (entry->style == font) {
            m_last = entry.get();
            return *entry;
        }
    }
    auto entry = std::make_unique<FontEntry>();
    entry->style = font;
    LOGFONTW description = {};
    description.lfHeight = -PixelHeight(font.size);
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.italic;
    description.lfUnderline = font.underline;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = font.monospace ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(description.lfFaceName, font.monospace ? kFixedFace : kTextFace, LF_FACESIZE);
    entry->font = CreateFontIndirectW(&description);
    if (entry->font == nullptr)
        entry->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics = {};
    HGDIOBJ previous = SelectObject(m_dc, entry->font);
    GetTextMetricsW(m_dc, &metrics);
    SelectObject(m_dc, previous);
    entry->metrics = {static_cast<int>(metrics.tmAscent), static_cast<int>(metrics.tmDescent)};
    entry->widthPages.resize(256);
    m_fonts.push_back(std::move(entry));
    m_last = m_fonts.back().get();
    return *m_last;
}

int CGdiTextMeasurer::CharacterWidth(FontEntry& entry, std::wstring_view text, std::size_t& i) {
    wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size()) {
        HGDIOBJ previous = SelectObject(m_dc, entry.font);
        SIZE size = {};
        GetTextExtentPoint32W(m_dc, text.data() + i, 2, &size);
        SelectObject(m_dc, previous);
        i += 2;
        return size.cx;
    }
    ++i;
    std::unique_ptr<short[]>& page = entry.widthPages[c >> 8];
    if (page == nullptr) {
        page = std::make_unique<short[]>(256);
        std::fill_n(page.get(), 256, static_cast<short>(-1));
    }
    short& width = page[c & 0xFF];
    if (width < 0) {
        HGDIOBJ previous = SelectObject(m_dc, entry.font);
        SIZE size = {};
        GetTextExtentPoint32W(m_dc, &c, 1, &size);
        SelectObject(m_dc, previous);
        width = static_cast<short>(std::clamp<LONG>(size.cx, 0, 0x7FFF));
    }
    return width;
}

htmlview::FontMetrics CGdiTextMeasurer::Metrics(const htmlview::FontSpec& font) {
    return Entry(font).metrics;
}

int CGdiTextMeasurer::Width(const htmlview::FontSpec& font, std::wstring_view text) {
    FontEntry& entry = Entry(font);
    int width = 0;
    for (std::size_t i = 0; i < text.size();)
        width += CharacterWidth(entry, text, i);
    return width;
}

HFONT CGdiTextMeasurer::Font(const htmlview::FontSpec& font) {
    return Entry(font).font;
}

void CGdiTextMeasurer::Advances(const htmlview::FontSpec& font, std::wstring_view text, std::vector<INT>& advances) {
    FontEntry& entry = Entry(font);
    advances.assign(text.size(), 0);
    for (std::size_t i = 0; i < text.size();) {
        std::size_t first = i;
        advances[first] = CharacterWidth(entry, text, i);
    }
}
