// CBitmapDialog: a dialog whose look is a bitmap and whose window region is that bitmap without its
// magenta pixels (255, 0, 255): the window takes the bitmap's size and shape, and the bitmap is its
// background. The toolbar's panel and its wait window are made on it.
#pragma once

#include "platform/Dialog.h"
#include "platform/Handles.h"

class CBitmapDialog : public CDialog {
public:
    static constexpr COLORREF kTransparentColour = RGB(255, 0, 255);

    CBitmapDialog(UINT templateId, UINT bitmapId);

    // The bitmap's size; 0 by 0 until the window is shaped.
    SIZE GetBitmapSize() const { return m_bitmapSize; }

    // The region of the pixels of bitmap that are not colour transparent, in bitmap coordinates; null
    // when the bitmap cannot be read.
    static HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF transparent);

protected:
    // Loads the bitmap, sizes the window to it and cuts the window to its shape.
    bool ShapeWindow();
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void PaintBackground(HDC dc);

    UINT m_bitmapId;
    CBitmapHandle m_bitmap;
    SIZE m_bitmapSize = {0, 0};
};
