// The bitmap-shaped dialog: the region built from the bitmap's rows, and the bitmap painted as the
// window's background.
#include "BitmapDialog.h"

#include <vector>

CBitmapDialog::CBitmapDialog(UINT templateId, UINT bitmapId) : CDialog(templateId), m_bitmapId(bitmapId) {}

// The pixels are read as 32-bit rows, top row first; every run of opaque pixels of a row becomes one
// rectangle of the region.
HRGN CBitmapDialog::RegionFromBitmap(HBITMAP bitmap, COLORREF transparent) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int width = info.bmWidth, height = info.bmHeight;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return nullptr;
    // Pixels are 0x00RRGGBB.
    const DWORD key = (static_cast<DWORD>(GetRValue(transparent)) << 16) |
                      (static_cast<DWORD>(GetGValue(transparent)) << 8) | GetBValue(transparent);
    std::vector<RECT> runs;
    for (int y = 0; y < height; ++y) {
        const DWORD* row = &pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
        for (int x = 0; x < width;) {
            while (x < width && (row[x] & 0xFFFFFF) == key)
                ++x;
            int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != key)
                ++x;
            if (x > start)
                runs.push_back(RECT{start, y, x, y + 1});
        }
    }
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* region = reinterpret_cast<RGNDATA*>(data.data());
    region->rdh.dwSize = sizeof(RGNDATAHEADER);
    region->rdh.iType = RDH_RECTANGLES;
    region->rdh.nCount = static_cast<DWORD>(runs.size());
    region->rdh.rcBound = RECT{0, 0, width, height};
    if (!runs.empty())
        std::copy(runs.begin(), runs.end(), reinterpret_cast<RECT*>(region->Buffer));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
}

bool CBitmapDialog::ShapeWindow() {
    HWND window = GetHwnd();
    m_bitmap.Reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info = {};
    if (!m_bitmap || GetObjectW(m_bitmap.Get(), sizeof info, &info) == 0)
        return false;
    m_bitmapSize = SIZE{info.bmWidth, info.bmHeight};
    SetWindowPos(window, nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRegionHandle region(RegionFromBitmap(m_bitmap.Get(), kTransparentColour));
    if (!region || SetWindowRgn(window, region.Get(), TRUE) == 0)
        return false;
    region.Release(); // the window owns it from here on
    return true;
}

void CBitmapDialog::PaintBackground(HDC dc) {
    CMemoryDcHandle memory(CreateCompatibleDC(dc));
    HGDIOBJ previous = SelectObject(memory.Get(), m_bitmap.Get());
    BitBlt(dc, 0, 0, m_bitmapSize.cx, m_bitmapSize.cy, memory.Get(), 0, 0, SRCCOPY);
    SelectObject(memory.Get(), previous);
}

bool CBitmapDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_ERASEBKGND && m_bitmap) {
        PaintBackground(reinterpret_cast<HDC>(wParam));
        result = 1;
        return true;
    }
    return CDialog::HandleMessage(message, wParam, lParam, result);
}
