#include "output/PanelSaveWindow_win.h"

#include "app/Forms_win.h"
#include "capture/PanelPlacement.h"
#include "capture/SetRegionFormUnit_win.h"
#include "output/BHintUnit.h"
#include "output/Clipboard_win.h"
#include "output/LoadFormUnit.h"
#include "output/SaveDialog_win.h"
#include "output/SystemProxy_win.h"
#include "settings/ServiceAddress.h"
#include "support/Utilities.h"
#include "support/Utilities_win.h"

#include <filesystem>
#include <stdexcept>

namespace {
// The tools panel's size: the actions panel is placed beside it.
constexpr int ToolsWidth = 532, ToolsHeight = 38;

TRect MonitorNear(HWND wnd) {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoW(::MonitorFromWindow(wnd, MONITOR_DEFAULTTOPRIMARY), &mi)) return {};
    return {mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
}
} // namespace

TPanelSaveWindow::TPanelSaveWindow(TSetRegionWindow& overlay, const TTextRasterizer& text)
    : FOverlay(overlay), FPanel({.ClassName = L"TPanelSave",
                                 .ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                 .Owner = overlay.Handle()},
                                text, *this) {
    PanelSave = &FPanel.Form;
    TUploadOptions options;
    options.EndpointUrl = ServiceAddress(FRegistry, ProductConstants::UploadEndpoint);
    options.ProxySource = &ReadSystemProxyConfig;
    TProgressView& progress = *this;
    FWorker = std::make_unique<TThreadSendScreen>(FDispatcher, progress, GetSystemVolumeSerial(),
                                                  std::move(options));
    FWorker->OnRedyLink = [this](const std::wstring& reply) {
        FPanel.Form.HandleUploadReply(reply);
    };
    FOverlay.Form().SetPanels(this);
}

TPanelSaveWindow::~TPanelSaveWindow() {
    FOverlay.Form().SetPanels(nullptr);
    FWorker.reset();
    if (PanelSave == &FPanel.Form) PanelSave = nullptr;
}

// --- the overlay's panel hooks

void TPanelSaveWindow::HideEditorPanels() {
    FPanel.Form.Close();
}

void TPanelSaveWindow::ShowEditorPanels() {
    FPanel.Form.Show();
}

void TPanelSaveWindow::UpdatePositionPanels(const TRect& workArea, const TFloatRect& sel) {
    FWorkArea = workArea;
    FSelection = sel;
    TPanelPlacementInput in;
    in.WorkArea = workArea;
    in.Selection = sel;
    in.ToolsWidth = ToolsWidth;
    in.ToolsHeight = ToolsHeight;
    in.SaveWidth = TPanelSave::FormWidth;
    in.SaveHeight = TPanelSave::FormHeight;
    in.ToolsMonitor = MonitorNear(Handle());
    in.SaveMonitor = in.ToolsMonitor;
    const TPanelPositions p = ComputePanelPositions(in);
    FPanel.Form.SetPosition(p.SaveX, p.SaveY);
}

void TPanelSaveWindow::CloseEditorPanels() {
    FPanel.Form.Close();
}

void TPanelSaveWindow::StartEditor() {
    FPanel.Form.Show();
    FPanel.Window.BringToFront();
}

void TPanelSaveWindow::PerformUpload() {
    FPanel.Form.btSendCloud.Click();
}

void TPanelSaveWindow::PerformCopy() {
    FPanel.Form.btSaveClipbrd.Click();
}

// --- the actions' platform half

void TPanelSaveWindow::EndLiveTool() {
    FOverlay.Form().AddTool(ctNone);
}

TBitmap32 TPanelSaveWindow::GetBitmap() {
    return FOverlay.Form().GetBitmap();
}

void TPanelSaveWindow::CloseOverlay() {
    FOverlay.Form().Close();
}

void TPanelSaveWindow::TestClose() {
    FOverlay.Form().TestClose();
}

void TPanelSaveWindow::HidePanels() {
    // Through the overlay: the tools panel hides too.
    FOverlay.Form().HidePanels();
}

void TPanelSaveWindow::ShowPanels() {
    FOverlay.Form().ShowPanels();
}

void TPanelSaveWindow::CopyBitmapToClipboard(const TBitmap32& image) {
    ::CopyBitmapToClipboard(Handle(), image);
}

void TPanelSaveWindow::CopyTextToClipboard(const std::wstring& text) {
    ::CopyTextToClipboard(Handle(), text);
}

std::optional<TSaveDialogResult>
TPanelSaveWindow::RunSaveDialog(const TSaveDialogRequest& request) {
    return ::RunSaveDialog(Handle(), request, [](const std::wstring& name) {
        return SaveDialog1SelectionChange(name).value_or(name);
    });
}

bool TPanelSaveWindow::DirectoryExists(const std::wstring& dir) {
    std::error_code ec;
    return !dir.empty() && std::filesystem::is_directory(std::filesystem::path(dir), ec);
}

void TPanelSaveWindow::ForceDirectories(const std::wstring& dir) {
    std::filesystem::create_directories(std::filesystem::path(dir));
}

void TPanelSaveWindow::WriteFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::wstring temp = path + L".kadrix-part";
    {
        unique_handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            file.release();
            throw std::runtime_error("cannot create the file");
        }
        std::size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD written = 0;
            ok = ::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) &&
                 written == chunk;
            done += written;
        }
        ok = ok && ::FlushFileBuffers(file.get());
        if (!ok) {
            file.reset();
            ::DeleteFileW(temp.c_str());
            throw std::runtime_error("cannot write the file");
        }
    }
    if (!::MoveFileExW(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        throw std::runtime_error("cannot replace the file");
    }
}

void TPanelSaveWindow::OpenInShell(const std::wstring& address) {
    ::OpenInShell(address);
}

bool TPanelSaveWindow::SendScreen(std::function<std::vector<std::uint8_t>()> encode,
                                  std::wstring_view format) {
    return FWorker->SendScreen(TThreadSendScreen::TImageSource(std::move(encode)), format);
}

void TPanelSaveWindow::ShowNotification(const std::wstring& text) {
    // The message is painted, not a control: as the window's name, screen
    // readers (and test drivers) can read it.
    if (const auto* hint = BHintForm ? dynamic_cast<TFormWindow*>(BHintForm->Host()) : nullptr)
        ::SetWindowTextW(hint->Handle(), text.c_str());
    ::ShowNotification(text);
}

void TPanelSaveWindow::ShowSurveyOrOffer() {
    ::ShowSurveyOrOffer();
}

TLocalTime TPanelSaveWindow::Now() {
    return LocalTimeNow();
}

// --- the progress window for the worker

bool TPanelSaveWindow::Showing() const {
    return LoadForm && LoadForm->Showing();
}

void TPanelSaveWindow::Show() {
    if (LoadForm) LoadForm->Show();
}

void TPanelSaveWindow::Close() {
    if (LoadForm) LoadForm->Close();
}

void TPanelSaveWindow::SetPosition(std::int32_t percent) {
    if (LoadForm) LoadForm->SetPosition(percent);
}
