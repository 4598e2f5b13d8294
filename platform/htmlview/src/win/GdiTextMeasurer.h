// Fonts of the display and their measurements: one GDI font per font the layout asks for, with the
// advance width of each character kept once measured, so that layout and drawing agree to the pixel.
#pragma once

#include "HtmlLayout.h"

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

class CGdiTextMeasurer : public htmlview::TextMeasurer {
public:
    CGdiTextMeasurer();
    ~CGdiTextMeasurer() override;
    CGdiTextMeasurer(const CGdiTextMeasurer&) = delete;
    CGdiTextMeasurer& operator=(const CGdiTextMeasurer&) = delete;

    htmlview::FontMetrics Metrics(const htmlview::FontSpec& font) override;
    int Width(const htmlview::FontSpec& font, std::wstring_view text) override;

    HFONT Font(const htmlview::FontSpec& font);
    // The advance of each UTF-16 unit of text (0 for the second half of a surrogate pair).
    void Advances(const htmlview::FontSpec& font, std::wstring_view text, std::vector<INT>& advances);

    // The pixel height of the characters of an HTML font size (1 to 7).
    static int PixelHeight(int size);

private:
    struct FontEntry {
        htmlview::FontSpec style;
        HFONT font = nullptr;
        htmlview::FontMetrics metrics;
        // Advance widths per UTF-16 unit in pages of 256, a page made when first needed; -1 until measured.
        std::vector<std::unique_ptr<short[]>> widthPages;
    };

    FontEntry& Entry(const htmlview::FontSpec& font);
    int CharacterWidth(FontEntry& entry, std::wstring_view text, std::size_t& i);

    HDC m_dc = nullptr;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    FontEntry* m_last = nullptr;
};
