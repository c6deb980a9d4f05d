#include "dialogs/SettingFormUnit.h"

#include "support/Utilities.h"
#include "ui/Artwork.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace {
constexpr TColor PageColor = 0x42230C;
constexpr TColor FrameLine = 0x5B351A;
constexpr TColor FieldLine = 0xA16E4A;
constexpr TColor FieldText = 0xB2B1AA;
constexpr TColor White = 0xFFFFFF;
// Page origin inside the form: the framed area at (21, 50), the page at (121, 1) in it.
constexpr int PageX = 21 + 121, PageY = 50 + 1;
constexpr int BarX = 22, BarY = 375;

TFont LabelFont() {
    return TFont::Pixels(L"Roboto", 15, 0, White);
}

TPicture Art(const std::string& name) {
    return TPicture(ArtPicture(name));
}

void SetStates(TImageButton& b, const std::string& prefix) {
    b.SetNormalImage(Art(prefix + ".normal"));
    b.SetMoveImage(Art(prefix + ".hover"));
    b.SetDownImage(Art(prefix + ".down"));
}

// The box's two picture sets in the order normal, normal-2, move, move-2,
// down, down-2, taken from a template (check or radio).
void CopyPictureSet(TImageButton& to, const TImageButton& from) {
    to.SetNormalImage(from.NormalImage());
    to.SetNormalImage2(from.NormalImage2());
    to.SetMoveImage(from.MoveImage());
    to.SetMoveImage2(from.MoveImage2());
    to.SetDownImage(from.DownImage());
    to.SetDownImage2(from.DownImage2());
}

void Toggle(TImageButton& b) {
    b.SetDown(!b.Down());
}
} // namespace

bool FolderWritable(const std::wstring& folder, std::mt19937& random) {
    std::uniform_int_distribution<int> number(1000000, 1999999);
    const std::wstring name = std::to_wstring(number(random)) + std::to_wstring(number(random));
    const std::filesystem::path file = std::filesystem::path(folder) / name;
    std::error_code ec;
    // Someone else's file of that name must not be taken over or deleted.
    if (std::filesystem::exists(file, ec) || ec) return false;
    {
        std::ofstream out(file, std::ios::binary);
        if (!out) return false;
    }
    std::filesystem::remove(file, ec);
    return true;
}

TSettingForm::TSettingForm(const TTextRasterizer& text, TSettings& settings,
                           TSettingPlatform& platform)
    : TForm(text, FormWidth, FormHeight),
      hkAllScreen(*this, [&platform](std::uint8_t vk) { return platform.KeyName(vk); }),
      hkAreaScreen(*this, [&platform](std::uint8_t vk) { return platform.KeyName(vk); }),
      hkWinScreen(*this, [&platform](std::uint8_t vk) { return platform.KeyName(vk); }),
      FSettings(settings), FPlatform(platform) {
    Caption = L"Настройки";
    Color = 0x321A09;
    Layout();

    LoadSettings();
    btRunWinStart.SetDown(FPlatform.IsRunWinStart());
    for (THotKeyField* f : {&hkAllScreen, &hkAreaScreen, &hkWinScreen})
        f->Editor.OnDblClick = [f] { f->Editor.SetHotKey(0); };
    TabClick(spMain);
}

void TSettingForm::Layout() {
    lbTitle.SetFont(TFont::Pixels(L"Roboto", 17, fsBold, White));
    lbTitle.SetCaption(L"Настройки программы");
    lbTitle.SetBounds(21, 18, lbTitle.Width(), lbTitle.Height());
    btClose.SetBounds(641, 20, 14, 14);
    btClose.SetHint(L"Закрыть");
    btClose.SetCursor(crHandPoint);
    SetStates(btClose, "close.14");
    btClose.OnClick = [this](TGraphicControl&) { CancelClick(); };

    shFrame.SetBounds(21, 50, 636, 325);
    shFrame.BrushColor = PageColor;
    shFrame.PenColor = FrameLine;

    const TFont tabFont = TFont::Pixels(L"Roboto", 12, fsBold, White);
    struct TTab {
        TImageButton2& Button;
        const char* Art;
        const wchar_t *Line1, *Line2;
        int Top, Height;
        TSettingPage Page;
    };
    for (const TTab& t : {TTab{btMain, "main", L"ОСНОВНЫЕ", L"", 0, 107, spMain},
                          TTab{btHot, "hot", L"ГОРЯЧИЕ", L"КЛАВИШИ", 108, 107, spHot},
                          TTab{btSave, "save", L"ПАРАМЕТРЫ", L"СОХРАНЕНИЯ", 216, 108, spSave}}) {
        t.Button.SetBounds(21 + 1, 50 + t.Top, 120, t.Height);
        t.Button.Font = tabFont;
        t.Button.SetFontText2(tabFont);
        t.Button.SetText(t.Line1);
        t.Button.SetText2(t.Line2);
        t.Button.SetOffsetTextY(15);
        t.Button.SetOffsetText2Y(30);
        const std::string prefix = std::string("tab.") + t.Art;
        SetStates(t.Button, prefix);
        t.Button.SetNormalImage2(Art(prefix + ".normal2"));
        t.Button.SetMoveImage2(Art(prefix + ".hover2"));
        t.Button.SetDownImage2(Art(prefix + ".down2"));
        t.Button.SetCursor(crHandPoint);
        const TSettingPage page = t.Page;
        t.Button.OnClick = [this, page](TGraphicControl&) { TabClick(page); };
    }

    const TFont headingFont = TFont::Pixels(L"Roboto", 19, 0, White);
    struct TPageSetup {
        TShape& Page;
        TLabel& Heading;
        const wchar_t* Text;
    };
    for (const TPageSetup& p : {TPageSetup{pMain, lbMainHeading, L"Основные настройки"},
                                TPageSetup{pHot, lbHotHeading, L"Горячие клавиши"},
                                TPageSetup{pSave, lbSaveHeading, L"Параметры сохранения"}}) {
        p.Page.SetBounds(PageX, PageY, 514, 323);
        p.Page.BrushColor = PageColor;
        p.Page.PenColor = PageColor;
        p.Page.PenWidth = 0;
        p.Heading.SetFont(headingFont);
        p.Heading.SetCaption(p.Text);
        p.Heading.SetLeft(PageX + 30);
        p.Heading.SetTop(PageY + 21);
    }

    // Hidden templates the boxes copy their pictures from.
    TImageButton checkTemplate(*this), radioTemplate(*this);
    SetStates(checkTemplate, "check.off");
    checkTemplate.SetNormalImage2(Art("check.on.normal"));
    checkTemplate.SetMoveImage2(Art("check.on.hover"));
    checkTemplate.SetDownImage2(Art("check.on.down"));
    SetStates(radioTemplate, "radio.off");
    radioTemplate.SetNormalImage2(Art("radio.on.normal"));
    radioTemplate.SetMoveImage2(Art("radio.on.hover"));
    radioTemplate.SetDownImage2(Art("radio.on.down"));

    SetupCheck(btRunWinStart, lbRunWinStart, 32, 66, L"Запускать при старте компьютера");
    SetupCheck(btShowRedact, lbShowRedact, 32, 106, L"Всегда показывать редактор");
    imgSepMain.SetPicture(Art("sep.settings"));
    imgSepMain.SetBounds(PageX + 30, PageY + 142, 460, 2);
    SetupCheck(btShowCursor, lbShowCursor, 32, 161, L"Показывать курсор на скриншоте");
    SetupCheck(btPlaySound, lbPlaySound, 32, 198, L"Проигрывать звук скриншота");

    SetupHotKeyField(hkAllScreen, 86, L"Скриншот всего экрана");
    SetupHotKeyField(hkAreaScreen, 134, L"Скриншот области");
    SetupHotKeyField(hkWinScreen, 182, L"Скриншот активного окна");
    SetupCheck(btTwoMouse, lbTwoMouse, 33, 248, L"Две кнопки мыши одновременно");

    SetupCheck(btServer, lbServer, 32, 64, L"На сервер, копируя ссылку в буфер обмена");
    SetupCheck(btOpenURL, lbOpenURL, 65, 97, L"Открывать скриншот в браузере", 34);
    SetupCheck(btClip, lbClip, 32, 134, L"В буфер обмена, без загрузки на сервер");
    imgSepSave.SetPicture(Art("sep.settings"));
    imgSepSave.SetBounds(PageX + 30, PageY + 172, 460, 2);
    SetupCheck(btSaveToo, lbSaveToo, 32, 188, L"Также сохранять на компьютер");
    // The radio pair toggles as a pair instead of on its own.
    btServer.OnClick = [this](TGraphicControl&) { RadioClick(btServer); };
    btClip.OnClick = [this](TGraphicControl&) { RadioClick(btClip); };

    shPath.SetBounds(PageX + 32, PageY + 221, 347, 33);
    shPath.BrushColor = 0x321A09;
    shPath.PenColor = FieldLine;
    edPath2.SetAutoSize(false);
    edPath2.SetFont(TFont::Pixels(L"Roboto", 15, 0, FieldText));
    edPath2.SetBounds(PageX + 32 + 8, PageY + 221 + 8, 347 - 16, 19);
    edPath2.SetCursor(crIBeam);
    edPath2.OnDblClick = [this](TGraphicControl&) { SelectDirClick(); };
    btSelectDir.SetBounds(PageX + 401, PageY + 221, 89, 33);
    SetStates(btSelectDir, "button.secondary.89x33");
    btSelectDir.Font = LabelFont();
    btSelectDir.SetText(L"Выбрать");
    btSelectDir.SetCursor(crHandPoint);
    btSelectDir.OnClick = [this](TGraphicControl&) { SelectDirClick(); };
    lbFormat.SetFont(LabelFont());
    lbFormat.SetCaption(L"Формат сохранения:");
    lbFormat.SetLeft(PageX + 32);
    lbFormat.SetTop(PageY + 275);
    cbFormat.SetBounds(PageX + 198, PageY + 268, 185, 33);
    cbFormat.SetBorderColor(FieldLine);
    cbFormat.SetBorderWidth(1);
    cbFormat.SetFillColor(0x321A09);
    cbFormat.SetFont(TFont::Pixels(L"Roboto", 16, 0, FieldText));
    cbFormat.SetNormalImage(Art("combo.arrow.normal"));
    cbFormat.SetMoveImage(Art("combo.arrow.hover"));
    cbFormat.SetDownImage(Art("combo.arrow.down"));
    cbFormat.SetItems({L"PNG", L"JPG"});

    shBottom.SetBounds(BarX, BarY, 635, 54);
    shBottom.BrushColor = 0x321A09;
    shBottom.PenColor = 0x321A09;
    shBottom.PenWidth = 0;
    imgReset.SetBounds(BarX + 21, BarY + 21, 16, 16);
    imgReset.SetNormalImage(Art("reset.normal"));
    imgReset.SetMoveImage(Art("reset.hover"));
    imgReset.SetDownImage(Art("reset.hover"));
    imgReset.SetCursor(crHandPoint);
    imgReset.OnClick = [this](TGraphicControl&) { DefaultSettings(); };
    lbReset.SetFont(LabelFont());
    lbReset.SetCaption(L"Сбросить настройки");
    lbReset.SetLeft(BarX + 47);
    lbReset.SetTop(BarY + 20);
    lbReset.SetCursor(crHandPoint);
    lbReset.OnClick = [this](TGraphicControl&) { DefaultSettings(); };
    btCancel.SetBounds(BarX + 333, BarY + 10, 142, 38);
    SetStates(btCancel, "button.secondary.142x38");
    btCancel.Font = LabelFont();
    btCancel.SetText(L"ОТМЕНИТЬ");
    btCancel.SetCursor(crHandPoint);
    btCancel.OnClick = [this](TGraphicControl&) { CancelClick(); };
    btSaveSettings.SetBounds(BarX + 493, BarY + 10, 142, 38);
    SetStates(btSaveSettings, "button.primary.142x38");
    btSaveSettings.Font = LabelFont();
    btSaveSettings.SetText(L"СОХРАНИТЬ");
    btSaveSettings.SetCursor(crHandPoint);
    btSaveSettings.OnClick = [this](TGraphicControl&) { SaveClick(); };

    for (TImageButton* b : {&btServer, &btClip})
        CopyPictureSet(*b, radioTemplate);
    for (TImageButton* b : {&btRunWinStart, &btShowCursor, &btPlaySound, &btTwoMouse, &btSaveToo,
                            &btOpenURL, &btShowRedact})
        CopyPictureSet(*b, checkTemplate);

    FPages[spMain] = {&pMain,        &lbMainHeading, &btRunWinStart, &lbRunWinStart,
                      &btShowRedact, &lbShowRedact,  &imgSepMain,    &btShowCursor,
                      &lbShowCursor, &btPlaySound,   &lbPlaySound};
    FPages[spHot] = {&pHot,
                     &lbHotHeading,
                     &hkAllScreen.Frame,
                     &hkAllScreen.Caption,
                     &hkAreaScreen.Frame,
                     &hkAreaScreen.Caption,
                     &hkWinScreen.Frame,
                     &hkWinScreen.Caption,
                     &btTwoMouse,
                     &lbTwoMouse};
    FPages[spSave] = {&pSave,   &lbSaveHeading, &btServer,   &lbServer,  &btOpenURL, &lbOpenURL,
                      &btClip,  &lbClip,        &imgSepSave, &btSaveToo, &lbSaveToo, &shPath,
                      &edPath2, &btSelectDir,   &lbFormat,   &cbFormat};
}

void TSettingForm::SetupCheck(TImageButton& box, TLabel& label, int left, int top,
                              std::wstring caption, int labelGap) {
    box.SetBounds(PageX + left, PageY + top, 20, 21);
    box.SetCursor(crHandPoint);
    box.OnClick = [&box](TGraphicControl&) { Toggle(box); };
    label.SetFont(LabelFont());
    label.SetCaption(std::move(caption));
    label.SetLeft(PageX + left + labelGap);
    label.SetTop(PageY + top + 3);
    label.SetCursor(crHandPoint);
    label.OnClick = [&box](TGraphicControl&) { box.Click(); };
}

void TSettingForm::SetupHotKeyField(THotKeyField& f, int top, std::wstring caption) {
    f.Frame.SetBounds(PageX + 32, PageY + top, 193, 33);
    f.Frame.BrushColor = 0x321A09;
    f.Frame.PenColor = FieldLine;
    f.EditBounds = {PageX + 32 + 8, PageY + top + 7, PageX + 32 + 8 + 176, PageY + top + 7 + 19};
    f.Caption.SetFont(LabelFont());
    f.Caption.SetCaption(std::move(caption));
    f.Caption.SetLeft(PageX + 251);
    f.Caption.SetTop(PageY + top + 8);
    f.Editor.OnChange = [this, &f] { CheckConflict(f); };
}

THotKeyField& TSettingForm::Field(TTypeHotKey kind) {
    switch (kind) {
    case thkAll:
        return hkAllScreen;
    case thkWin:
        return hkWinScreen;
    case thkArea:
        break;
    }
    return hkAreaScreen;
}

void TSettingForm::CheckConflict(THotKeyField& changed) {
    THotKeyField* others[2];
    if (&changed == &hkAllScreen)
        others[0] = &hkWinScreen, others[1] = &hkAreaScreen;
    else if (&changed == &hkAreaScreen)
        others[0] = &hkWinScreen, others[1] = &hkAllScreen;
    else
        others[0] = &hkAreaScreen, others[1] = &hkAllScreen;
    for (THotKeyField* other : others)
        if (changed.Editor.HotKey() == other->Editor.HotKey()) {
            changed.Editor.SetHotKey(0);
            return;
        }
}

void TSettingForm::LoadSettings() {
    btShowRedact.SetDown(FSettings.ShowRedact);
    btShowCursor.SetDown(FSettings.showcursor);
    btPlaySound.SetDown(FSettings.playsound);
    hkAllScreen.Editor.SetHotKey(FSettings.hkAllScreen);
    hkAreaScreen.Editor.SetHotKey(FSettings.hkAreaScreen);
    hkWinScreen.Editor.SetHotKey(FSettings.hkWindow);
    btTwoMouse.SetDown(FSettings.TwoMouse);
    btServer.SetDown(FSettings.Server);
    btClip.SetDown(!FSettings.Server);
    btOpenURL.SetDown(FSettings.OpenURL);
    btSaveToo.SetDown(FSettings.SaveLocal);
    edPath2.SetCaption(FSettings.path);
    cbFormat.SetItemIndex(FSettings.format);
}

void TSettingForm::SaveSettings() {
    FSettings.RunWinStart = btRunWinStart.Down();
    FSettings.ShowRedact = btShowRedact.Down();
    FSettings.showcursor = btShowCursor.Down();
    FSettings.playsound = btPlaySound.Down();
    FSettings.hkAllScreen = hkAllScreen.Editor.HotKey();
    FSettings.hkAreaScreen = hkAreaScreen.Editor.HotKey();
    FSettings.hkWindow = hkWinScreen.Editor.HotKey();
    FSettings.TwoMouse = btTwoMouse.Down();
    FSettings.Server = btServer.Down();
    FSettings.OpenURL = btOpenURL.Down();
    FSettings.SaveLocal = btSaveToo.Down();
    FSettings.path = edPath2.Caption();
    FSettings.format = cbFormat.ItemIndex();
    FPlatform.SaveRegSettings(FSettings);
}

void TSettingForm::DefaultSettings() {
    btRunWinStart.SetDown(true);
    btShowCursor.SetDown(false);
    btPlaySound.SetDown(true);
    btShowRedact.SetDown(true);
    hkAllScreen.Editor.SetHotKey(0x202C);
    hkAreaScreen.Editor.SetHotKey(0x002C);
    hkWinScreen.Editor.SetHotKey(0x802C);
    btTwoMouse.SetDown(true);
    edPath2.SetCaption(FPlatform.DefaultPath());
    btServer.SetDown(true);
    btClip.SetDown(false);
    btSaveToo.SetDown(false);
    cbFormat.SetItemIndex(0);
    btOpenURL.SetDown(true);
}

void TSettingForm::FormShow() {
    LoadSettings();
}

void TSettingForm::KeyDown(int key, TShiftState) {
    if (key == 27) CancelClick();
}

void TSettingForm::ShowPage(TSettingPage page) {
    FPage = page;
    for (int p = spMain; p <= spSave; ++p)
        for (TGraphicControl* c : FPages[p])
            c->SetVisible(p == page);
    if (page == spSave && !FSavePageShown) {
        FSavePageShown = true;
        cbFormat.LoadImg();
    }
    if (OnPageChanged) OnPageChanged();
}

void TSettingForm::TabClick(TSettingPage page) {
    for (TImageButton2* b : {&btMain, &btHot, &btSave})
        b->SetDown(false);
    TImageButton2* tabs[] = {&btMain, &btHot, &btSave};
    tabs[page]->SetDown(true);
    ShowPage(page);
}

void TSettingForm::RadioClick(TImageButton& clicked) {
    if (clicked.Down()) return;
    Toggle(btServer);
    Toggle(btClip);
    btOpenURL.SetDown(btServer.Down());
}

void TSettingForm::SelectDirClick() {
    const std::wstring current = edPath2.Caption();
    const std::wstring preselect = FPlatform.DirectoryExists(current) ? current : std::wstring();
    const auto chosen = FPlatform.ChooseFolder(preselect);
    if (!chosen || chosen->empty()) return;
    if (!FPlatform.FolderWritable(*chosen)) return;
    std::wstring path = *chosen;
    if (path.back() != L'\\') path += L'\\';
    edPath2.SetCaption(path);
    btSaveToo.SetDown(true);
}

void TSettingForm::SaveClick() {
    for (TTypeHotKey kind : {thkAll, thkWin, thkArea}) {
        THotKeyEditor& editor = Field(kind).Editor;
        if (!FPlatform.RegHotKey(kind, editor.HotKey())) editor.SetHotKey(0);
    }
    try {
        SaveSettings();
    } catch (const std::exception& e) {
        FPlatform.ShowError(Utf8ToWide(e.what()));
        return;
    }
    EndModal(mrOk);
}

void TSettingForm::CancelClick() {
    EndModal(mrCancel);
}

void TSettingForm::EndModal(TModalResult result) {
    FModalResult = result;
    Close();
}
