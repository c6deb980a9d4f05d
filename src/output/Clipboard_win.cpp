#include "output/Clipboard_win.h"

#include "win32/DibSection_win.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {
// Opened for the scope's lifetime, emptied and owned by owner.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (::OpenClipboard(owner)) {
                FOpen = true;
                break;
            }
            ::Sleep(100);
        }
        if (!FOpen) throw std::runtime_error("the clipboard is held by another program");
        if (!::EmptyClipboard()) {
            ::CloseClipboard();
            throw std::runtime_error("EmptyClipboard failed");
        }
    }
    ~TOpenClipboard() { ::CloseClipboard(); }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;

private:
    bool FOpen = false;
};
} // namespace

void CopyBitmapToClipboard(HWND owner, const TBitmap32& image) {
    if (image.Empty()) throw std::invalid_argument("empty image");
    BITMAPINFO bmi = TopDownBitmapInfo(image.Width(), image.Height());
    // Flattened translucent strokes leave alpha below 255; pasted images
    // must not turn see-through.
    std::vector<TColor32> opaque(image.Pixels().begin(), image.Pixels().end());
    for (TColor32& c : opaque)
        c |= 0xFF000000u;
    // A device-dependent bitmap: the system makes its DIB forms from that.
    TWindowDC screen(nullptr);
    unique_bitmap bitmap(::CreateDIBitmap(screen.get(), &bmi.bmiHeader, CBM_INIT, opaque.data(),
                                          &bmi, DIB_RGB_COLORS));
    if (!bitmap) throw std::runtime_error("cannot make the clipboard bitmap");
    TOpenClipboard clipboard(owner);
    if (!::SetClipboardData(CF_BITMAP, bitmap.get()))
        throw std::runtime_error("SetClipboardData(CF_BITMAP) failed");
    bitmap.release(); // the system owns it now
}

void CopyTextToClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    unique_hglobal mem(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!mem) throw std::runtime_error("GlobalAlloc failed");
    void* p = ::GlobalLock(mem.get());
    if (!p) throw std::runtime_error("GlobalLock failed");
    std::memcpy(p, text.c_str(), bytes);
    ::GlobalUnlock(mem.get());
    TOpenClipboard clipboard(owner);
    if (!::SetClipboardData(CF_UNICODETEXT, mem.get()))
        throw std::runtime_error("SetClipboardData(CF_UNICODETEXT) failed");
    mem.release();
}
