#pragma once
// System helpers that need Windows: the Windows folder, the system volume's
// serial number (the upload user hash), the shell's "open" verb and the
// executable's own path.
#include <cstdint>
#include <string>
#include <string_view>

std::wstring GetWindowsDir();

// Decimal serial number of the volume holding the Windows folder; empty on failure.
std::wstring GetSystemVolumeSerial();

// Opens a file, folder or web address with its associated program; returns
// the shell's result code (greater than 32 on success).
std::intptr_t OpenInShell(std::wstring_view pathOrAddress);

// Full path of the running executable; empty on failure.
std::wstring ExeFullPath();
std::wstring ExeFileName();
