#include "output/PanelForm2Unit.h"

#include "ui/Artwork.h"

TPanelSave* PanelSave = nullptr;

namespace {
void SetPictures(TImageButton& b, const std::string& name) {
    b.SetNormalImage(TPicture(ArtPicture(name + ".normal")));
    b.SetMoveImage(TPicture(ArtPicture(name + ".hover")));
    b.SetDownImage(TPicture(ArtPicture(name + ".down")));
}

// The 22 x 2 rule centred in the separator's 38 x 10.
TPicture SeparatorPicture() {
    const TBitmap32& rule = ArtPicture("sep.actions");
    TBitmap32 b(38, 10, 0);
    b.Draw((38 - rule.Width()) / 2, (10 - rule.Height()) / 2, rule);
    return TPicture(b);
}
} // namespace

TPanelSave::TPanelSave(const TTextRasterizer& text, TPanelSaveActions& actions)
    : TForm(text, FormWidth, FormHeight), FActions(actions) {
    Color = FormColor;
    btSendCloud.SetBounds(0, 0, 38, 33);
    btSendCloud.Color = 0;
    btSendCloud.SetHint(L"Загрузить на сервер");
    SetPictures(btSendCloud, "action.upload");
    btSaveClipbrd.SetBounds(0, 33, 38, 38);
    btSaveClipbrd.SetHint(L"Копировать");
    SetPictures(btSaveClipbrd, "action.copy");
    btSaveFile.SetBounds(0, 71, 38, 38);
    btSaveFile.SetHint(L"Сохранить на диск");
    SetPictures(btSaveFile, "action.save");
    Image1.SetBounds(0, 109, 38, 10);
    Image1.SetPicture(SeparatorPicture());
    ImageButton3.SetBounds(0, 119, 38, 38);
    ImageButton3.SetHint(L"Закрыть");
    SetPictures(ImageButton3, "action.close");
    btSendCloud.OnClick = [this](TGraphicControl&) { btSendCloudClick(); };
    btSaveClipbrd.OnClick = [this](TGraphicControl&) { btSaveClipbrdClick(); };
    btSaveFile.OnClick = [this](TGraphicControl&) { btSaveFileClick(); };
    ImageButton3.OnClick = [this](TGraphicControl&) { ImageButton3Click(); };
}

void TPanelSave::btSaveClipbrdClick() {
    FActions.EndLiveTool();
    std::wstring message(OutputTexts::CopyDone);
    try {
        const TBitmap32 bitmap = FActions.GetBitmap();
        FActions.CopyBitmapToClipboard(bitmap);
        if (Settings.SaveLocal) SaveLocalCopy(bitmap);
    } catch (...) {
        message = OutputTexts::CopyFailed;
    }
    FActions.CloseOverlay();
    FActions.ShowNotification(message);
    FActions.ShowSurveyOrOffer();
}

void TPanelSave::btSaveFileClick() {
    FActions.EndLiveTool();
    try {
        if (!FActions.DirectoryExists(Settings.path)) FActions.ForceDirectories(Settings.path);
    } catch (...) {
        // The dialog still opens; the user can pick another folder.
    }
    TSaveDialogRequest request;
    request.InitialDir = SaveDialogInitialDir(
        Settings, [this](const std::wstring& dir) { return FActions.DirectoryExists(dir); });
    request.FilterIndex = SaveDialogFilterIndex(Settings.format);
    request.FileName = ScreenshotName(FActions.Now());
    FActions.HidePanels();
    const std::optional<TSaveDialogResult> chosen = FActions.RunSaveDialog(request);
    if (chosen) {
        const TSaveTarget target = ConfirmedSaveTarget(chosen->FileName, chosen->FilterIndex);
        bool written = false;
        try {
            FActions.WriteFile(target.FileName, EncodeImage(FActions.GetBitmap(), target.Format));
            written = true;
        } catch (...) {
        }
        FActions.CloseOverlay();
        RememberLastPath(Settings, FActions.Registry(), FolderOf(target.FileName));
        // Saying nothing would let the user believe the shot is kept.
        if (!written)
            FActions.ShowNotification(std::wstring(OutputTexts::SaveFailed) + L"\r\n" +
                                      target.FileName);
    } else {
        FActions.ShowPanels();
    }
    FActions.ShowSurveyOrOffer();
}

void TPanelSave::btSendCloudClick() {
    FActions.EndLiveTool();
    const TUploadEncoding encoding = UploadEncodingFor(Settings.format);
    std::shared_ptr<const TBitmap32> bitmap;
    try {
        bitmap = std::make_shared<const TBitmap32>(FActions.GetBitmap());
    } catch (...) {
    }
    // The overlay goes first: encoding a large frame takes a moment.
    FActions.CloseOverlay();
    if (bitmap) {
        const TImageFormat format = encoding.Format;
        bool queued = false;
        try {
            queued = FActions.SendScreen([bitmap, format] { return EncodeImage(*bitmap, format); },
                                         encoding.FormatText);
        } catch (...) {
            // Nothing was handed over: no reply will come for it.
        }
        if (queued) {
            // The reply is handed over through the message loop, never
            // before this handler returns.
            FPending.push_back({bitmap, format, false});
            if (Settings.SaveLocal) FPending.back().LocalCopyWritten = SaveLocalCopy(*bitmap);
        } else {
            // Refused (too many uploads wait) or not handed over: the capture
            // is gone from the screen, so it goes into a file now.
            const std::wstring saved = KeepFailedUpload({bitmap, format, false});
            FActions.ShowNotification(UploadRefusedMessage(saved));
        }
    }
    FActions.ShowSurveyOrOffer();
}

void TPanelSave::ImageButton3Click() {
    FActions.CloseOverlay();
}

void TPanelSave::FormKeyDown(int key) {
    if (key == 27) FActions.TestClose();
}

bool TPanelSave::SaveLocalCopy(const TBitmap32& bitmap) {
    try {
        if (!FActions.DirectoryExists(Settings.path)) FActions.ForceDirectories(Settings.path);
        const std::wstring name = LocalCopyFileName(Settings, FActions.Now());
        FActions.WriteFile(name, EncodeImage(bitmap, LocalCopyFormat(Settings.format)));
        return true;
    } catch (...) {
        return false;
    }
}

std::wstring TPanelSave::KeepFailedUpload(const TPendingUpload& upload) {
    try {
        if (!FActions.DirectoryExists(Settings.path)) FActions.ForceDirectories(Settings.path);
        const std::wstring name = Settings.path + ScreenshotName(FActions.Now()) +
                                  std::wstring(FileExtension(upload.Format));
        FActions.WriteFile(name, EncodeImage(*upload.Bitmap, upload.Format));
        return name;
    } catch (...) {
        return {};
    }
}

void TPanelSave::HandleUploadReply(const std::wstring& reply) {
    std::optional<TPendingUpload> upload;
    if (!FPending.empty()) {
        upload = std::move(FPending.front());
        FPending.pop_front();
    }
    const TUploadReply result = ReadUploadReply(reply);
    if (result.Ok) {
        const bool webLink = IsWebLink(result.Link);
        try {
            FActions.CopyTextToClipboard(result.Link);
            // A text that is no web link is never opened: the user sees it.
            FActions.ShowNotification(std::wstring(OutputTexts::LinkCopied) +
                                      (webLink ? L"" : L"\r\n" + result.Link));
        } catch (...) {
            // The link is the result: show it rather than lose it.
            FActions.ShowNotification(L"Не удалось скопировать ссылку.\r\n" + result.Link);
        }
        if (Settings.OpenURL && webLink) FActions.OpenInShell(result.Link);
        return;
    }
    // The capture is gone from the screen: keep it in a file.
    const std::wstring saved =
        upload && !upload->LocalCopyWritten ? KeepFailedUpload(*upload) : std::wstring();
    FActions.ShowNotification(UploadFailedMessage(saved));
}
