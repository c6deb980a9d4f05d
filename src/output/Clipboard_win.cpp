#include "output/Clipboard_win.h"

#include "win32/DibSection_win.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {
// How long a copy waits for another program to let the clipboard go.
constexpr DWORD ClipboardWaitMs = 2500;

// Waits ms while answering messages sent to this thread's windows: the
// program holding the clipboard may be waiting on one of them (the old
// owner's WM_DESTROYCLIPBOARD, a render request), and a plain sleep would
// hold both until one gives up.
void WaitAnswering(DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    for (DWORD now = ::GetTickCount(); int(end - now) > 0; now = ::GetTickCount()) {
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_SENDMESSAGE) !=
            WAIT_OBJECT_0)
            return;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Opened for the scope's lifetime, emptied and owned by owner. Another
// program may hold the clipboard for a moment (a clipboard manager reading
// what was just copied): it is tried again until ClipboardWaitMs have passed.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            if (::OpenClipboard(owner)) {
                if (::EmptyClipboard()) return;
                ::CloseClipboard();
            }
            if (::GetTickCount() - start >= ClipboardWaitMs) break;
            WaitAnswering(20);
        }
        throw std::runtime_error("the clipboard is held by another program");
    }
    ~TOpenClipboard() { ::CloseClipboard(); }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
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
