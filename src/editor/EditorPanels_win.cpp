#include "editor/EditorPanels_win.h"

#include "capture/PanelPlacement.h"
#include "capture/SetRegionFormUnit_win.h"
#include "output/PanelSaveWindow_win.h"
#include "win32/Handles_win.h"

#include <algorithm>
#include <commdlg.h>
#include <set>

namespace {
TRect ToRectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TFormWindowStyle PanelStyle(const wchar_t* className, HWND owner) {
    return {.ClassName = className, .ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW, .Owner = owner};
}

int CALLBACK CollectFace(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM lp) noexcept {
    try {
        // '@' marks the vertical-writing twin of a family.
        if (lf->lfFaceName[0] != L'@')
            reinterpret_cast<std::set<std::wstring>*>(lp)->insert(lf->lfFaceName);
        return 1;
    } catch (...) {
        return 0;
    }
}

// One region from all runs at once: uniting them one by one costs a
// region rebuild per run.
unique_rgn RegionFromRuns(const std::vector<TRect>& runs) {
    if (runs.empty()) return {};
    std::vector<std::byte> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = DWORD(runs.size());
    header->nRgnSize = DWORD(runs.size() * sizeof(RECT));
    TRect bounds;
    auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const TRect& r = runs[i];
        rects[i] = {r.Left, r.Top, r.Right, r.Bottom};
        bounds = bounds.Union(r);
    }
    header->rcBound = {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
    return unique_rgn(
        ::ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data())));
}

UINT_PTR CALLBACK ColorDialogHook(HWND dlg, UINT msg, WPARAM, LPARAM lp) noexcept {
    if (msg == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lp);
        const auto* at = reinterpret_cast<const TPoint*>(cc->lCustData);
        ::SetWindowPos(dlg, HWND_BOTTOM, at->X, at->Y, 0, 0, SWP_NOSIZE);
        return TRUE;
    }
    return 0;
}
} // namespace

std::vector<std::wstring> SystemFontFaces() {
    std::set<std::wstring> faces;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (HDC dc = ::GetDC(nullptr)) {
        ::EnumFontFamiliesExW(dc, &lf, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
        ::ReleaseDC(nullptr, dc);
    }
    return {faces.begin(), faces.end()};
}

TEditorPanels::TEditorPanels(TSetRegionWindow& overlay, TPanelSaveWindow& save,
                             const TTextRasterizer& text)
    : FOverlay(overlay), FSave(save), FTools(PanelStyle(L"TPanelTools", overlay.Handle()), text,
                                             static_cast<TPanelToolsActions&>(*this)),
      FFont(PanelStyle(L"TFontForm", overlay.Handle()), text, SystemFontFaces()),
      FWidth(PanelStyle(L"TWidthForm", overlay.Handle()), text) {
    FTools.Form.SetSubPanels(&FFont.Form, &FWidth.Form);
    WireBalloon(FFont.Form, FFont.Window.Handle());
    WireBalloon(FWidth.Form, FWidth.Window.Handle());
    FOverlay.Form().History().OnChangeState = [this](bool undo, bool redo) {
        FTools.Form.OnUpdateStateUndoRedo(undo, redo);
    };
    FOverlay.Form().SetPanels(this);
}

TEditorPanels::~TEditorPanels() {
    FOverlay.Form().SetPanels(&FSave);
    FOverlay.Form().History().OnChangeState = nullptr;
}

void TEditorPanels::WireBalloon(TBalloonForm& form, HWND wnd) {
    form.OnRegion = [wnd](const std::vector<TRect>& runs) {
        unique_rgn rgn = RegionFromRuns(runs);
        // The window owns the region once it is set.
        if (::SetWindowRgn(wnd, rgn.get(), TRUE)) rgn.release();
    };
    form.OnFocusOverlay = [this] { FocusOverlay(); };
    form.OnTestClose = [this] { TestClose(); };
}

// --- the overlay's panel hooks

void TEditorPanels::HideEditorPanels() {
    FTools.Form.Close();
    FSave.Panel().Close();
    if (FWidth.Form.Showing()) FWidth.Form.Close();
}

void TEditorPanels::ShowEditorPanels() {
    FTools.Form.Show();
    FSave.Panel().Show();
}

void TEditorPanels::UpdatePositionPanels(const TRect& workArea, const TFloatRect& sel) {
    FWorkArea = workArea;
    FSelection = sel;
    PlacePanels();
}

void TEditorPanels::PlacePanels() {
    CloseSubPanels();
    TPanelPlacementInput in;
    in.WorkArea = FWorkArea;
    in.Selection = FSelection;
    in.ToolsWidth = FTools.Form.ClientWidth();
    in.ToolsHeight = FTools.Form.ClientHeight();
    in.SaveWidth = FSave.Panel().ClientWidth();
    in.SaveHeight = FSave.Panel().ClientHeight();
    in.ToolsMonitor = MonitorNearest(FTools.Form.ScreenBounds());
    in.SaveMonitor = MonitorNearest(FSave.Panel().ScreenBounds());
    in.SelectionMonitor =
        MonitorNearest(RoundRect(FSelection).Normalized().Offset(FWorkArea.Left, FWorkArea.Top));
    const TPanelPositions p = ComputePanelPositions(in);
    FTools.Form.SetPosition(p.ToolsX, p.ToolsY);
    FSave.Panel().SetPosition(p.SaveX, p.SaveY);
}

void TEditorPanels::CloseSubPanels() {
    if (FWidth.Form.Showing()) FWidth.Form.Close();
    if (FFont.Form.Showing()) FFont.Form.Close();
}

void TEditorPanels::CloseEditorPanels() {
    FSave.Panel().Close();
    FTools.Form.Close();
    CloseSubPanels();
}

void TEditorPanels::StartEditor() {
    FSave.Panel().Show();
    FTools.Form.Show();
    // The first pass tested the monitors where the panels were last time;
    // this one tests the monitor the first pass chose.
    PlacePanels();
    if (FSave.Panel().Host()) FSave.Panel().Host()->BringToFront();
    FTools.Form.btArrow.SetDown(false);
    FTools.Form.btArrow.Click();
}

void TEditorPanels::PerformUpload() {
    FSave.PerformUpload();
}

void TEditorPanels::PerformCopy() {
    FSave.PerformCopy();
}

void TEditorPanels::ShowFontPanel() {
    if (FTools.Form.Showing() && FTools.Form.btText.Down()) FTools.Form.ShowFontPanel();
}

void TEditorPanels::ApplicationActivated() {
    if (FSave.Panel().Showing() && FSave.Panel().Host()) FSave.Panel().Host()->BringToFront();
}

// --- what the tools panel asks for

void TEditorPanels::AddTool(TCurTool tool) {
    FOverlay.Form().AddTool(tool);
}

void TEditorPanels::SetPropertyTool(TColor color, int penwidth) {
    FOverlay.Form().SetPropertyTool(color, penwidth);
}

void TEditorPanels::Undo() {
    FOverlay.Form().Undo();
}

void TEditorPanels::Redo() {
    FOverlay.Form().Redo();
}

void TEditorPanels::TestClose() {
    FOverlay.Form().TestClose();
}

void TEditorPanels::FocusOverlay() {
    ::SetFocus(FOverlay.Handle());
}

void TEditorPanels::HidePanels() {
    FOverlay.Form().HidePanels();
}

void TEditorPanels::ShowPanels() {
    FOverlay.Form().ShowPanels();
}

TRect TEditorPanels::SelectionOnScreen() const {
    const TRect& work = FOverlay.Form().WorkArea();
    return RoundRect(FOverlay.Form().Selection().Location())
        .Normalized()
        .Offset(work.Left, work.Top);
}

TRect TEditorPanels::MonitorNearest(const TRect& area) const {
    const RECT r{area.Left, area.Top, area.Right, area.Bottom};
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi))
        return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    return ToRectOf(mi.rcMonitor);
}

int TEditorPanels::PrimaryScreenHeight() const {
    return ::GetSystemMetrics(SM_CYSCREEN);
}

std::optional<TColor> TEditorPanels::RunColorDialog(TColor initial, TPoint topLeft) {
    // The user's custom colours last for the run.
    static COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = FTools.Window.Handle();
    cc.rgbResult = initial < 0 ? ::GetSysColor(int(initial & 0xFF)) : COLORREF(initial);
    cc.lpCustColors = custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ENABLEHOOK;
    cc.lpfnHook = ColorDialogHook;
    cc.lCustData = reinterpret_cast<LPARAM>(&topLeft);
    if (!::ChooseColorW(&cc)) return std::nullopt;
    return TColor(cc.rgbResult);
}
