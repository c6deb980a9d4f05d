#pragma once
// What the borderless dialogs (companion windows and the new-version window)
// share: the program's services they call, their modal result, closing with
// a notice to the host, and dragging by the background.
#include "dialogs/SettingFormUnit.h" // TModalResult, shared with the settings dialog
#include "settings/Registry.h"
#include "settings/SettingsUnit.h"
#include "support/Utilities.h"
#include "ui/Form.h"
#include "widgets/ImageButton.h"

#include <functional>
#include <string>

class TDialogServices {
public:
    virtual ~TDialogServices() = default;
    virtual TRegistry& Registry() = 0;
    virtual TDate Now() = 0;
    // Opens a page of the service in the browser; failures are not reported.
    virtual void OpenPage(const TServicePage& page) = 0;
    // Lets the system move the window as if its caption were dragged.
    virtual void StartWindowDrag(TForm& form) = 0;
};

class TCompanionForm : public TForm {
public:
    TCompanionForm(const TTextRasterizer& text, TDialogServices& services, int width, int height,
                   std::wstring caption);

    int ModalResult = mrNone;
    // After the form closed itself (the host frees an on-demand window here,
    // later than the click that closed it).
    std::function<void()> OnClosed;

    void CloseWith(int result);
    TDialogServices& Services() const { return FServices; }

protected:
    // A press on the control (a background picture, a label) drags the window.
    void DragBy(TGraphicControl& control);
    void CenterOnScreen();

private:
    TDialogServices& FServices;
};

// Normal, hover and down pictures of an artwork family ("close.14").
void SetButtonStates(TImageButton& button, const std::string& artPrefix);
