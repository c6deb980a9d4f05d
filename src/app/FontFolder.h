#pragma once
// Fonts shipped in a folder beside the executable are registered for this
// process only, so the windows can ask for families the system may lack.
#include <functional>
#include <string>
#include <vector>

// Appends the names (not paths) of one folder's entries; directories go to
// subfolders, everything else to files (at most maxFiles, -1 = no limit).
// Subfolders are not descended into. False when folder is not a directory.
bool ListFolder(const std::wstring& folder, std::vector<std::wstring>* subfolders,
                std::vector<std::wstring>* files, int maxFiles);

// Calls addOrRemove(folder + name, remove) for every ".ttf"/".otf" file of the
// folder (extension compared in lower case). Errors are swallowed.
using TFontRegistrar = std::function<void(const std::wstring& path, bool remove)>;
void SetFolderFonts(const std::wstring& folder, bool remove, const TFontRegistrar& addOrRemove);

bool IsFontFileName(const std::wstring& name);
