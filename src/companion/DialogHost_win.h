#pragma once
// Win32 side of the borderless dialogs: their services (registry, clock,
// pages, the system drag), modal showing, and the taskbar helper.
#include "companion/CompanionForm.h"
#include "dialogs/SettingFormUnit_win.h" // HideAppTaskbarButton
#include "win32/FormWindow_win.h"

class TWinDialogServices final : public TDialogServices {
public:
    TRegistry& Registry() override;
    TDate Now() override;
    void OpenPage(const TServicePage& page) override;
    void StartWindowDrag(TForm& form) override;
};

TWinDialogServices& DialogServices();

// A stand-alone dialog: its own class name and taskbar button.
TFormWindowStyle DialogStyle(const wchar_t* className, HWND owner);

// Shows the form and runs messages until it hides; its ModalResult (none
// counts as Cancel). A quit message ends the loop and is posted again.
int RunModal(TCompanionForm& form);

// Runs messages for ms without blocking the GUI.
void PumpMessagesFor(unsigned ms);
