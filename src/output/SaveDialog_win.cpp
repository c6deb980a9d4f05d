#include "output/SaveDialog_win.h"

#include <commdlg.h>
#include <dlgs.h>
#include <vector>

namespace {
struct THookData {
    std::function<std::wstring(const std::wstring&)> OnSelectionChange;
};

UINT_PTR CALLBACK SaveHook(HWND dlg, UINT msg, WPARAM, LPARAM lParam) noexcept {
    try {
        if (msg == WM_INITDIALOG) {
            auto* ofn = reinterpret_cast<OPENFILENAMEW*>(lParam);
            ::SetWindowLongPtrW(dlg, GWLP_USERDATA, LONG_PTR(ofn->lCustData));
            return 0;
        }
        if (msg != WM_NOTIFY) return 0;
        const auto* n = reinterpret_cast<const OFNOTIFYW*>(lParam);
        if (n->hdr.code != CDN_SELCHANGE) return 0;
        auto* data = reinterpret_cast<THookData*>(::GetWindowLongPtrW(dlg, GWLP_USERDATA));
        if (!data || !data->OnSelectionChange) return 0;
        HWND parent = ::GetParent(dlg);
        std::vector<wchar_t> shown(MAX_PATH * 4);
        const LRESULT len = ::SendMessageW(parent, CDM_GETSPEC, shown.size(),
                                           reinterpret_cast<LPARAM>(shown.data()));
        if (len <= 0) return 0;
        const std::wstring now(shown.data());
        const std::wstring wanted = data->OnSelectionChange(now);
        if (wanted == now) return 0;
        // The name box is a combo in explorer-style dialogs, an edit in others.
        for (const int box : {cmb13, edt1})
            ::SendMessageW(parent, CDM_SETCONTROLTEXT, box,
                           reinterpret_cast<LPARAM>(wanted.c_str()));
    } catch (...) {
        // A hook must not let anything reach the dialog's message loop.
    }
    return 0;
}
} // namespace

std::optional<TSaveDialogResult>
RunSaveDialog(HWND owner, const TSaveDialogRequest& request,
              std::function<std::wstring(const std::wstring&)> onSelectionChange) {
    static const wchar_t Filter[] = L"png\0*.png\0jpg\0*.jpg\0bmp\0*.bmp\0";
    std::vector<wchar_t> name(32768, L'\0');
    request.FileName.copy(name.data(), std::min(request.FileName.size(), name.size() - 1));
    THookData data{std::move(onSelectionChange)};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = Filter;
    ofn.nFilterIndex = DWORD(request.FilterIndex);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = DWORD(name.size());
    ofn.lpstrInitialDir = request.InitialDir.empty() ? nullptr : request.InitialDir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_PATHMUSTEXIST |
                OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    ofn.lpfnHook = &SaveHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&data);
    if (!::GetSaveFileNameW(&ofn)) return std::nullopt;
    return TSaveDialogResult{std::wstring(name.data()), int(ofn.nFilterIndex)};
}
