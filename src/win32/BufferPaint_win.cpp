#include "win32/BufferPaint_win.h"

#include "win32/DibSection_win.h"

std::vector<TRect> RegionRects(HRGN rgn) {
    std::vector<TRect> rects;
    const DWORD size = ::GetRegionData(rgn, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return rects;
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (::GetRegionData(rgn, size, data) != size) return rects;
    const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i)
        rects.push_back(ToRect(r[i]));
    return rects;
}

void BlitBitmap32(HDC dc, const TBitmap32& bitmap, const TRect& area) {
    const TRect a = area.Intersect(bitmap.BoundsRect());
    if (a.IsEmpty()) return;
    BITMAPINFO bmi = TopDownBitmapInfo(bitmap.Width(), a.Height());
    // Rows a.Top.. of the top-down bitmap, passed as their own small DIB.
    ::SetDIBitsToDevice(dc, a.Left, a.Top, a.Width(), a.Height(), a.Left, 0, 0, a.Height(),
                        bitmap.Row(a.Top), &bmi, DIB_RGB_COLORS);
}

void PaintFromBuffer(HWND wnd, const TBitmap32& buffer,
                     const std::function<std::vector<TRect>()>& composeDirty) {
    // BeginPaint empties the update region, so it is read first.
    unique_rgn exposed(::CreateRectRgn(0, 0, 0, 0));
    if (exposed && ::GetUpdateRgn(wnd, exposed.get(), FALSE) == ERROR) exposed.reset();
    TPaintDC dc(wnd);
    const TRect area = ToRect(dc.Area()).Intersect(buffer.BoundsRect());
    for (const TRect& r : composeDirty()) {
        BlitBitmap32(dc.get(), buffer, r.Intersect(area));
        if (exposed) {
            unique_rgn done(::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
            if (done) ::CombineRgn(exposed.get(), exposed.get(), done.get(), RGN_DIFF);
        }
    }
    if (!exposed) {
        BlitBitmap32(dc.get(), buffer, area);
        return;
    }
    for (const TRect& r : RegionRects(exposed.get()))
        BlitBitmap32(dc.get(), buffer, r.Intersect(area));
}

HCURSOR SystemCursor(TCursorKind kind) {
    const wchar_t* id = IDC_ARROW;
    switch (kind) {
    case crCross:
        id = IDC_CROSS;
        break;
    case crSizeAll:
        id = IDC_SIZEALL;
        break;
    case crSizeNS:
        id = IDC_SIZENS;
        break;
    case crSizeWE:
        id = IDC_SIZEWE;
        break;
    case crSizeNWSE:
        id = IDC_SIZENWSE;
        break;
    case crSizeNESW:
        id = IDC_SIZENESW;
        break;
    case crIBeam:
        id = IDC_IBEAM;
        break;
    case crHandPoint:
        id = IDC_HAND;
        break;
    case crDefault:
    case crArrow:
        break;
    }
    return ::LoadCursorW(nullptr, id);
}
