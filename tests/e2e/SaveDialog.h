#pragma once
// The system save dialog Kadrix opens, filled in as a user types a name.
#include "KadrixProcess.h"

#include <gtest/gtest.h>

#include <dlgs.h>
#include <filesystem>
#include <string>
#include <thread>

// Waits for Kadrix's save dialog and types the full path into its name box;
// null (and a failure) when either is missing.
inline HWND FillSaveDialog(const TKadrixProcess& kadrix, const std::filesystem::path& file) {
    using namespace std::chrono_literals;
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (HWND wnd : kadrix.Windows()) {
                wchar_t cls[64];
                if (::IsWindowVisible(wnd) && ::GetClassNameW(wnd, cls, 64) &&
                    std::wstring(cls) == L"#32770")
                    dialog = wnd;
            }
            return dialog != nullptr;
        },
        10s))
        << "no save dialog";
    if (!dialog) return nullptr;
    // Explorer-style dialogs keep the name box as an edit inside a combo.
    HWND box = ::GetDlgItem(dialog, cmb13);
    if (HWND edit = box ? ::FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr) box = edit;
    if (!box) box = ::GetDlgItem(dialog, edt1);
    EXPECT_NE(box, nullptr) << "no file name box";
    if (!box) return nullptr;
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    ::SetForegroundWindow(dialog);
    std::this_thread::sleep_for(200ms);
    return dialog;
}

// Enter in the filled dialog; true once it has closed.
inline bool SubmitSaveDialog(HWND dialog) {
    using namespace std::chrono_literals;
    TapKey(VK_RETURN);
    return WaitUntil([&] { return !::IsWindowVisible(dialog); }, 10s);
}
