#pragma once
// The actions panel: the strip beside the selection that finishes a capture
// by uploading it, copying it, saving it, or throwing it away. The actions'
// rules live here; the overlay, the clipboard, the save dialog, the files,
// the shell and the upload worker are reached through TPanelSaveActions so
// the whole flow runs in tests without a window.
#include "codecs/ImageEncoder.h"
#include "output/SaveRules.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "widgets/ImageButton.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>

struct TSaveDialogRequest {
    std::wstring InitialDir;
    std::wstring FileName;
    int FilterIndex = 1; // 1 png, 2 jpg, 3 bmp
};

struct TSaveDialogResult {
    std::wstring FileName; // full path as confirmed
    int FilterIndex = 1;
};

class TPanelSaveActions {
public:
    virtual ~TPanelSaveActions() = default;
    // The overlay.
    virtual void EndLiveTool() = 0; // AddTool(ctNone)
    virtual TBitmap32 GetBitmap() = 0;
    virtual void CloseOverlay() = 0;
    virtual void TestClose() = 0;
    virtual void HidePanels() = 0;
    // Shows both panels again and re-places them.
    virtual void ShowPanels() = 0;
    // The platform. Failures throw.
    virtual void CopyBitmapToClipboard(const TBitmap32& image) = 0;
    virtual void CopyTextToClipboard(const std::wstring& text) = 0;
    virtual std::optional<TSaveDialogResult> RunSaveDialog(const TSaveDialogRequest& request) = 0;
    virtual bool DirectoryExists(const std::wstring& dir) = 0;
    virtual void ForceDirectories(const std::wstring& dir) = 0;
    // Written under a temporary name and renamed over the target, so a
    // failure never destroys a file that was there.
    virtual void WriteFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) = 0;
    virtual void OpenInShell(const std::wstring& address) = 0;
    // The worker calls encode on its own thread. False: refused at once (too
    // many uploads wait), encode is never called and no reply will come.
    virtual bool SendScreen(std::function<std::vector<std::uint8_t>()> encode,
                            std::wstring_view format) = 0;
    virtual void ShowNotification(const std::wstring& text) = 0;
    virtual void ShowSurveyOrOffer() = 0;
    virtual TLocalTime Now() = 0;
    virtual TRegistry& Registry() = 0;
};

class TPanelSave : public TForm {
public:
    static constexpr int FormWidth = 38, FormHeight = 157;
    static constexpr TColor FormColor = 3283465;

    TPanelSave(const TTextRasterizer& text, TPanelSaveActions& actions);

    TImageButton btSendCloud{*this};
    TImageButton btSaveClipbrd{*this};
    TImageButton btSaveFile{*this};
    TImage Image1{*this};
    TImageButton ImageButton3{*this};

    void btSaveClipbrdClick();
    void btSaveFileClick();
    void btSendCloudClick();
    void ImageButton3Click();
    void FormKeyDown(int key);
    void KeyDown(int key, TShiftState) override { FormKeyDown(key); }
    // The worker's reply after every upload attempt, in order.
    void HandleUploadReply(const std::wstring& reply);
    // Settings.SaveLocal's copy; true when the file was written.
    bool SaveLocalCopy(const TBitmap32& bitmap);

private:
    // What a failed upload needs to keep the capture.
    struct TPendingUpload {
        std::shared_ptr<const TBitmap32> Bitmap; // shared with the worker's encoder
        TImageFormat Format;
        bool LocalCopyWritten;
    };
    std::wstring KeepFailedUpload(const TPendingUpload& upload);

    TPanelSaveActions& FActions;
    std::deque<TPendingUpload> FPending;
};

extern TPanelSave* PanelSave;
