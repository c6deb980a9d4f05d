// The widgets in real windows of this process: the notification window's
// place and lifetime, a button's pixels under the pointer, a combo box's
// system list driven by the mouse.
#include "KadrixProcess.h"
#include "output/BHintUnit.h"
#include "ui/Artwork.h"
#include "widgets/OrvikComboBox.h"
#include "win32/FormWindow_win.h"
#include "win32/GdiTextRasterizer_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {
// Runs this thread's windows until pred holds or the time is up.
bool PumpUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (pred()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(10ms);
    }
}

void Pump(std::chrono::milliseconds d) {
    PumpUntil([] { return false; }, d);
}

COLORREF ScreenPixel(int x, int y) {
    TWindowDC screen(nullptr);
    return ::GetPixel(screen.get(), x, y);
}

TPicture Art(const char* name) {
    return TPicture(ArtPicture(name));
}

class Widgets : public ::testing::Test {
protected:
    TGdiTextRasterizer Text;
};
} // namespace

TEST_F(Widgets, NotificationAppearsBottomRightAndGoesAfterEightSeconds) {
    TBHintForm form(Text);
    TFormWindow window(form, {.ClassName = L"TBHintForm",
                              .ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                              .Owner = ::GetDesktopWindow()});
    BHintForm = &form;
    ShowNotification(L"Изображение скопировано в буфер обмена");
    const auto shownAt = std::chrono::steady_clock::now();
    HWND found = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            found = ::FindWindowW(L"TBHintForm", nullptr);
            return found && ::IsWindowVisible(found);
        },
        2s));
    RECT work{}, r{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(found, &r);
    EXPECT_EQ(r.right, work.right - 10);
    EXPECT_EQ(r.bottom, work.bottom - 10);
    EXPECT_EQ(r.right - r.left, 399);
    EXPECT_EQ(r.bottom - r.top, 104);
    EXPECT_NE(::GetWindowLongW(found, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    Pump(7s);
    EXPECT_TRUE(::IsWindowVisible(found));
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(found); }, 3s));
    const auto lived = std::chrono::steady_clock::now() - shownAt;
    EXPECT_GE(lived, 7900ms);
    BHintForm = nullptr;
}

TEST_F(Widgets, ButtonRepaintsOnHoverAndPressAndClicksOnRelease) {
    TForm form(Text, 200, 100);
    TImageButton button(form);
    button.SetBounds(40, 30, 38, 38);
    button.SetNormalImage(Art("tool.pen.normal"));
    button.SetMoveImage(Art("tool.pen.hover"));
    button.SetDownImage(Art("tool.pen.down"));
    int clicks = 0;
    button.OnClick = [&](TGraphicControl&) { ++clicks; };
    form.SetPosition(300, 200);
    TFormWindow window(
        form, {.ClassName = L"KadrixTestButtonForm", .ExStyle = WS_EX_TOPMOST, .Activate = true});
    MoveMouseTo(10, 10);
    form.Show();
    Pump(300ms);
    // Compare a whole column through the icon: some pixel must change.
    auto column = [] {
        std::vector<COLORREF> c;
        for (int y = 200 + 30; y < 200 + 68; ++y)
            c.push_back(ScreenPixel(300 + 59, y));
        return c;
    };
    const auto normal = column();
    MoveMouseTo(300 + 59, 200 + 49);
    ASSERT_TRUE(PumpUntil([&] { return column() != normal; }, 2s)) << "no hover picture";
    const auto hover = column();
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return column() != hover && column() != normal; }, 2s))
        << "no pressed picture";
    EXPECT_EQ(clicks, 0);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1 && column() == hover; }, 2s));
    MoveMouseTo(10, 10);
    EXPECT_TRUE(PumpUntil([&] { return column() == normal; }, 2s));
}

TEST_F(Widgets, ComboBoxDropsItsListAndReportsTheClickedItem) {
    TForm form(Text, 300, 200);
    TOrvikComboBox combo(form);
    combo.SetBounds(20, 20, 120, 31);
    combo.SetNormalImage(Art("combo.arrow.normal"));
    combo.SetMoveImage(Art("combo.arrow.hover"));
    combo.SetDownImage(Art("combo.arrow.down"));
    combo.SetItems({L"PNG", L"JPG", L"BMP"});
    combo.SetItemIndex(0);
    combo.LoadImg();
    std::wstring picked;
    combo.OnClick = [&](TGraphicControl&) { picked = combo.TextLabel().Caption(); };
    form.SetPosition(200, 150);
    TFormWindow window(
        form, {.ClassName = L"KadrixTestComboForm", .ExStyle = WS_EX_TOPMOST, .Activate = true});
    form.Show();
    ::SetForegroundWindow(window.Handle());
    Pump(300ms);
    // The arrow button.
    MoveMouseTo(200 + 20 + 105, 150 + 20 + 15);
    Pump(100ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(PumpUntil([&] { return combo.List()->DroppedDown(); }, 2s));
    // The second item of the pop-up below the field.
    const int itemHeight = combo.ItemHeight();
    HWND list = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            HWND box = ::FindWindowExW(window.Handle(), nullptr, WC_COMBOBOXW, nullptr);
            if (box && ::GetComboBoxInfo(box, &info)) list = info.hwndList;
            return list && ::IsWindowVisible(list);
        },
        2s));
    RECT lr{};
    ::GetWindowRect(list, &lr);
    EXPECT_GE(lr.top, 150 + 20 + 20);
    EXPECT_GE(lr.right - lr.left, 2 * 120 - 4); // twice as wide as the field
    MoveMouseTo(lr.left + 20, lr.top + 2 + itemHeight + itemHeight / 2);
    Pump(100ms);
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
    SendMouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return picked == L"JPG"; }, 2s))
        << "picked: " << std::string(picked.begin(), picked.end());
    EXPECT_EQ(combo.ItemIndex(), 1);
}
