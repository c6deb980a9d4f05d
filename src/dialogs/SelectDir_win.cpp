#include "dialogs/SelectDir_win.h"

#include "dialogs/SelectDir.h"
#include "support/DebugTrace.h"
#include "win32/FormWindow_win.h"
#include "win32/GdiTextRasterizer_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
struct TPidlFree {
    void operator()(ITEMIDLIST* p) const { ::CoTaskMemFree(p); }
};
using unique_pidl = std::unique_ptr<ITEMIDLIST, TPidlFree>;

template <class T> struct TComRelease {
    void operator()(T* p) const { p->Release(); }
};
template <class T> using com_ptr = std::unique_ptr<T, TComRelease<T>>;

// One tree node: its absolute item id list; children are read on first expansion.
struct TNode {
    unique_pidl Pidl;
    bool Loaded = false;
};

class TSelectDirWindow final : public TFormWindow, public TSelectDirPlatform {
public:
    TSelectDirWindow(TSelectDirForm& form, const TFormWindowStyle& style)
        : TFormWindow(form, style), FForm(form) {
        const TRect b = form.TreeBounds();
        FTree.reset(::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS |
                                          TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                      b.Left, b.Top, b.Width(), b.Height(), Handle(), nullptr,
                                      AppInstance(), nullptr));
        if (!FTree) throw std::runtime_error("CreateWindowEx(TreeView) failed");
        FFont.reset(::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH, L"Roboto"));
        ::SendMessageW(FTree.get(), WM_SETFONT, WPARAM(FFont.get()), FALSE);
        ::SendMessageW(FTree.get(), TVM_SETBKCOLOR, 0, LPARAM(RGB(255, 255, 255)));
        ::SendMessageW(FTree.get(), TVM_SETTEXTCOLOR, 0, LPARAM(RGB(0, 0, 0)));
        SHFILEINFOW sfi{};
        // The system image list belongs to the shell: never destroyed here.
        const auto images = reinterpret_cast<HIMAGELIST>(
            ::SHGetFileInfoW(L"C:\\", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        if (images) ::SendMessageW(FTree.get(), TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(images));
        ::SendMessageW(FTree.get(), TVM_SETINDENT, 19, 0);
        if (FAILED(::SHGetDesktopFolder(&FDesktopRaw)) || !FDesktopRaw)
            throw std::runtime_error("SHGetDesktopFolder failed");
        FDesktop.reset(FDesktopRaw);
        ITEMIDLIST* root = nullptr;
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &root)) || !root)
            throw std::runtime_error("no desktop item");
        FRoot = Insert(TVI_ROOT, unique_pidl(root), true);
        Expand(FRoot);
    }

    // Expands the tree down to path and selects it.
    void Preselect(const std::wstring& path) {
        ITEMIDLIST* raw = nullptr;
        if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, &raw, 0, nullptr)) || !raw) return;
        const unique_pidl target(raw);
        HTREEITEM at = FRoot;
        while (at) {
            Expand(at);
            HTREEITEM next = nullptr;
            for (HTREEITEM c = Child(at); c; c = Next(c)) {
                const ITEMIDLIST* p = NodeOf(c)->Pidl.get();
                if (::ILIsEqual(p, target.get())) {
                    Select(c);
                    FChosen = true;
                    return;
                }
                if (::ILIsParent(p, target.get(), FALSE)) {
                    next = c;
                    break;
                }
            }
            at = next;
        }
    }

    void FocusTree() { ::SetFocus(FTree.get()); }

    std::optional<std::wstring> SelectedPath() override {
        // The tree may put its caret on the first item by itself when it
        // gets the focus: that is no folder the user picked.
        const HTREEITEM sel = TreeView_GetSelection(FTree.get());
        if (!sel || !FChosen) return std::nullopt;
        wchar_t path[MAX_PATH] = {};
        if (!::SHGetPathFromIDListW(NodeOf(sel)->Pidl.get(), path) || !path[0]) return std::nullopt;
        return std::wstring(path);
    }
    bool DirectoryExists(const std::wstring& path) override {
        const DWORD a = ::GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NOTIFY) {
            const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (hdr->hwndFrom == FTree.get()) {
                if (hdr->code == TVN_ITEMEXPANDINGW) {
                    const auto* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
                    if (tv->action & TVE_EXPAND) Load(tv->itemNew.hItem);
                    return FALSE;
                }
                if (hdr->code == TVN_SELCHANGEDW) {
                    const UINT action = reinterpret_cast<const NMTREEVIEWW*>(lParam)->action;
                    if (action == TVC_BYMOUSE || action == TVC_BYKEYBOARD) FChosen = true;
                    return 0;
                }
                if (hdr->code == NM_RETURN) {
                    FForm.SaveClick();
                    return TRUE;
                }
                if (hdr->code == TVN_KEYDOWN &&
                    reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_ESCAPE) {
                    FForm.CancelClick();
                    return TRUE;
                }
            }
        }
        return TFormWindow::WndProc(msg, wParam, lParam);
    }

private:
    TNode* NodeOf(HTREEITEM item) const {
        TVITEMW tv{};
        tv.mask = TVIF_PARAM;
        tv.hItem = item;
        TreeView_GetItem(FTree.get(), &tv);
        return reinterpret_cast<TNode*>(tv.lParam);
    }
    HTREEITEM Child(HTREEITEM item) const { return TreeView_GetChild(FTree.get(), item); }
    HTREEITEM Next(HTREEITEM item) const { return TreeView_GetNextSibling(FTree.get(), item); }
    void Expand(HTREEITEM item) {
        TreeView_Expand(FTree.get(), item, TVE_EXPAND);
        Load(item);
    }
    void Select(HTREEITEM item) {
        TreeView_SelectItem(FTree.get(), item);
        TreeView_EnsureVisible(FTree.get(), item);
    }

    HTREEITEM Insert(HTREEITEM parent, unique_pidl pidl, bool hasChildren) {
        SHFILEINFOW sfi{};
        const auto* id = reinterpret_cast<LPCWSTR>(pidl.get());
        ::SHGetFileInfoW(id, 0, &sfi, sizeof(sfi),
                         SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME);
        SHFILEINFOW open{};
        ::SHGetFileInfoW(id, 0, &open, sizeof(open),
                         SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
        auto& node = FNodes.emplace_back(std::make_unique<TNode>());
        node->Pidl = std::move(pidl);
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
        ins.item.pszText = sfi.szDisplayName;
        ins.item.iImage = sfi.iIcon;
        ins.item.iSelectedImage = open.iIcon ? open.iIcon : sfi.iIcon;
        ins.item.cChildren = hasChildren ? 1 : 0;
        ins.item.lParam = reinterpret_cast<LPARAM>(node.get());
        return TreeView_InsertItem(FTree.get(), &ins);
    }

    void Load(HTREEITEM item) {
        TNode* node = NodeOf(item);
        if (!node || node->Loaded) return;
        node->Loaded = true;
        IShellFolder* raw = nullptr;
        if (item == FRoot) {
            FDesktop->AddRef();
            raw = FDesktop.get();
        } else if (FAILED(FDesktop->BindToObject(node->Pidl.get(), nullptr, IID_IShellFolder,
                                                 reinterpret_cast<void**>(&raw))) ||
                   !raw) {
            return;
        }
        const com_ptr<IShellFolder> folder(raw);
        IEnumIDList* rawEnum = nullptr;
        if (folder->EnumObjects(Handle(), SHCONTF_FOLDERS, &rawEnum) != S_OK || !rawEnum) return;
        const com_ptr<IEnumIDList> items(rawEnum);
        std::vector<unique_pidl> children;
        ITEMIDLIST* child = nullptr;
        while (items->Next(1, &child, nullptr) == S_OK && child) {
            unique_pidl owned(child);
            LPCITEMIDLIST one = owned.get();
            SFGAOF attrs = SFGAO_FOLDER | SFGAO_STREAM;
            if (FAILED(folder->GetAttributesOf(1, &one, &attrs))) continue;
            // Archives show as folders; only real ones are offered.
            if (!(attrs & SFGAO_FOLDER) || (attrs & SFGAO_STREAM)) continue;
            children.push_back(std::move(owned));
        }
        std::sort(children.begin(), children.end(),
                  [&](const unique_pidl& a, const unique_pidl& b) {
                      return short(HRESULT_CODE(folder->CompareIDs(0, a.get(), b.get()))) < 0;
                  });
        for (auto& c : children) {
            LPCITEMIDLIST one = c.get();
            SFGAOF attrs = SFGAO_HASSUBFOLDER;
            folder->GetAttributesOf(1, &one, &attrs);
            unique_pidl absolute(::ILCombine(node->Pidl.get(), c.get()));
            if (absolute) Insert(item, std::move(absolute), (attrs & SFGAO_HASSUBFOLDER) != 0);
        }
        if (!Child(item)) {
            TVITEMW tv{};
            tv.mask = TVIF_CHILDREN;
            tv.hItem = item;
            tv.cChildren = 0;
            TreeView_SetItem(FTree.get(), &tv);
        }
    }

    TSelectDirForm& FForm;
    unique_hwnd FTree;
    unique_font FFont;
    IShellFolder* FDesktopRaw = nullptr;
    com_ptr<IShellFolder> FDesktop;
    std::vector<std::unique_ptr<TNode>> FNodes;
    HTREEITEM FRoot = nullptr;
    bool FChosen = false; // preselected, or picked by mouse or keyboard
};

class TNullPlatform final : public TSelectDirPlatform {
public:
    TSelectDirPlatform* Target = nullptr;
    std::optional<std::wstring> SelectedPath() override {
        return Target ? Target->SelectedPath() : std::nullopt;
    }
    bool DirectoryExists(const std::wstring& path) override {
        return Target && Target->DirectoryExists(path);
    }
};

TGdiTextRasterizer& ChooserText() {
    static TGdiTextRasterizer text;
    return text;
}
} // namespace

std::optional<std::wstring> RunSelectDir(HWND owner, const std::wstring& preselect) {
    // The form exists before its window; the window answers for the tree.
    TNullPlatform platform;
    TSelectDirForm form(ChooserText(), platform);
    RECT o{};
    if (owner && ::GetWindowRect(owner, &o)) {
        form.SetPosition(o.left + ((o.right - o.left) - form.ClientWidth()) / 2,
                         o.top + ((o.bottom - o.top) - form.ClientHeight()) / 2);
    } else {
        form.SetPosition((::GetSystemMetrics(SM_CXSCREEN) - form.ClientWidth()) / 2,
                         (::GetSystemMetrics(SM_CYSCREEN) - form.ClientHeight()) / 2);
    }
    TSelectDirWindow window(form, {.ClassName = L"TSelectDirForm",
                                   .Style = WS_POPUP,
                                   .ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                   .Owner = ::GetDesktopWindow(),
                                   .Activate = true});
    platform.Target = &window;
    if (!preselect.empty()) {
        std::wstring folder = preselect;
        // "D:\Shots\" names the same folder; the shell parses it without the slash.
        if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
        window.Preselect(folder);
    }
    if (owner) ::EnableWindow(owner, FALSE);
    form.Show();
    ::SetForegroundWindow(window.Handle());
    window.FocusTree();
    MSG msg;
    while (form.Showing()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        if (got < 0) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    form.Close();
    // Re-enabled before the chooser goes, so the focus returns to the owner.
    if (owner) {
        ::EnableWindow(owner, TRUE);
        ::SetForegroundWindow(owner);
    }
    if (form.ModalResult() != mrOk) return std::nullopt;
    return form.ChosenPath();
}
