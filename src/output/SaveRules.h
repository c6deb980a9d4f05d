#pragma once
// The pure rules of the copy, save and upload actions: file names, the save
// dialog's folder, filter and final name, the upload encoding, the local
// copy's name, the memory of the last folder, and the user-visible texts.
// The panel calls these; everything here runs without windows.
#include "codecs/ImageEncoder.h"
#include "settings/Registry.h"
#include "settings/SettingsUnit.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct TLocalTime {
    int y = 0, m = 0, d = 0; // four-digit year, month 1..12, day 1..31
    int h = 0, n = 0, s = 0; // hour 0..23, minutes, seconds
    int ms = 0;              // milliseconds 0..999

    bool operator==(const TLocalTime&) const = default;
};

// The computer's local time now.
TLocalTime LocalTimeNow();

// "Скриншот dd.MM.YY_hh.mm.ss", without extension.
std::wstring ScreenshotName(const TLocalTime& time);

// ".png", ".jpg" or ".bmp".
std::wstring_view FileExtension(TImageFormat format);

// Settings.lastpath when not empty and dirExists says so, else Settings.path.
std::wstring SaveDialogInitialDir(const TSettings& settings,
                                  const std::function<bool(const std::wstring&)>& dirExists);

// 1 PNG, 2 JPEG, 3 BMP from Settings.format; an unknown format gives 1.
int SaveDialogFilterIndex(std::int32_t format);

// The save dialog's filter list, pairs separated by '|'.
inline constexpr std::wstring_view SaveDialogFilter = L"png|*.png|jpg|*.jpg|bmp|*.bmp";

struct TSaveTarget {
    std::wstring FileName;
    TImageFormat Format = ifPng;

    bool operator==(const TSaveTarget&) const = default;
};

// The confirmed dialog name: an exact ".png"/".jpg"/".bmp" ending is removed,
// then the filter index decides format and extension.
TSaveTarget ConfirmedSaveTarget(std::wstring_view chosenName, int filterIndex);

// The dialog's name with its extension removed; nullopt when it has none
// (leave the name as it is).
std::optional<std::wstring> SaveDialog1SelectionChange(std::wstring_view fileName);

struct TUploadEncoding {
    TImageFormat Format;          // ifPng or ifJpeg
    std::wstring_view FormatText; // ".PNG" or ".JPG"
};

// JPEG for format 1, PNG for every other value (BMP is uploaded as PNG).
TUploadEncoding UploadEncodingFor(std::int32_t format);

// Format of the local copy: 0 PNG, 1 JPEG, 2 BMP, anything else PNG.
TImageFormat LocalCopyFormat(std::int32_t format);

// Settings.path + ScreenshotName + the extension of LocalCopyFormat.
std::wstring LocalCopyFileName(const TSettings& settings, const TLocalTime& time);

// The folder part of a file name, with its trailing separator ('\' or '/');
// empty when the name has no folder.
std::wstring FolderOf(std::wstring_view fileName);

// Stores the folder in settings.lastpath and as "lastpath" under SettingsKey
// (created if missing) when it differs from the current value. Returns false
// when the registry could not be written (settings.lastpath is set anyway).
bool RememberLastPath(TSettings& settings, TRegistry& registry, std::wstring_view folder);

// What HandleUploadReply should do with a reply text.
struct TUploadReply {
    bool Ok = false;
    std::wstring Link; // empty unless Ok

    bool operator==(const TUploadReply&) const = default;
};
TUploadReply ReadUploadReply(std::wstring_view reply);
// True for an absolute http or https URI (RFC 3986) with a host and without
// user information, of RFC 3986 characters only (no blank, quote, "<>^|\\",
// "{}" or anything beyond ASCII; "%" only as a percent-encoding), at most
// MaxWebLinkLength characters: only such a link from the server is handed to
// the shell, which would run a path or a program. Anything else is copied
// and shown.
inline constexpr std::size_t MaxWebLinkLength = 2048;
bool IsWebLink(std::wstring_view link);

namespace OutputTexts {
inline constexpr std::wstring_view CopyDone =
    L"Скриншот скопирован в буфер обмена.\r\nНажмите Ctrl+V, чтобы вставить.";
inline constexpr std::wstring_view CopyFailed =
    L"Не удалось скопировать в буфер обмена.\r\nПожалуйста, попробуйте еще раз.";
inline constexpr std::wstring_view LinkCopied = L"Ссылка на скриншот в буфере обмена.";
inline constexpr std::wstring_view UploadFailed =
    L"Не удалось загрузить скриншот.\r\nПожалуйста, попробуйте еще раз.";
inline constexpr std::wstring_view SaveFailed =
    L"Не удалось сохранить скриншот.\r\nПожалуйста, попробуйте еще раз.";
// Third line of UploadFailed when the image was kept in a local file.
inline constexpr std::wstring_view SavedAsPrefix = L"Скриншот сохранен: ";
// An upload refused at once: too many wait for the server already.
inline constexpr std::wstring_view UploadRefused =
    L"Слишком много скриншотов ждут загрузки.";
inline constexpr std::wstring_view TryLater = L"Пожалуйста, попробуйте позже.";
} // namespace OutputTexts

// UploadFailed, plus a line naming the local file when there is one.
std::wstring UploadFailedMessage(std::wstring_view savedFile);
// UploadRefused, then the line naming the local file, or TryLater without one.
std::wstring UploadRefusedMessage(std::wstring_view savedFile);
