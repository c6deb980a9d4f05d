#pragma once
// The clipboard as the output actions use it. Another program may hold the
// clipboard open for a moment (clipboard managers, chat programs): opening
// is retried for about a second before the failure is reported by a throw.
#include "gfx/Bitmap32.h"
#include "win32/Handles_win.h"

#include <string>

// The image as a standard bitmap (the system offers DIB forms from it),
// opaque whatever the alpha of the pixels.
void CopyBitmapToClipboard(HWND owner, const TBitmap32& image);
void CopyTextToClipboard(HWND owner, const std::wstring& text);
