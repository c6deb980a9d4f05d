#include "app/FontFolder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool ListFolder(const std::wstring& folder, std::vector<std::wstring>* subfolders,
                std::vector<std::wstring>* files, int maxFiles) {
    std::error_code ec;
    const fs::path dir(folder);
    if (!fs::is_directory(dir, ec)) return false;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        std::error_code typeEc;
        if (it->is_directory(typeEc) && subfolders) {
            subfolders->push_back(name);
        } else if (files && (maxFiles == -1 || static_cast<int>(files->size()) < maxFiles)) {
            files->push_back(name);
        }
    }
    return true;
}

bool IsFontFileName(const std::wstring& name) {
    const auto dot = name.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    std::wstring ext = name.substr(dot);
    for (auto& c : ext)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return ext == L".ttf" || ext == L".otf";
}

void SetFolderFonts(const std::wstring& folder, bool remove, const TFontRegistrar& addOrRemove) {
    try {
        std::vector<std::wstring> subfolders, files;
        ListFolder(folder, &subfolders, &files, -1);
        for (const auto& name : files)
            if (IsFontFileName(name)) addOrRemove(folder + name, remove);
    } catch (...) {
        // A broken fonts folder must never stop the program from starting.
    }
}
