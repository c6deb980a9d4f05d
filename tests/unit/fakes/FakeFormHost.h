#pragma once
// A window for a form without a window system: records what the form asks
// of it, runs its timers on a fake clock (periodic, as system timers are)
// and hands combo boxes a recording list.
#include "ui/Form.h"

#include <map>
#include <vector>

class TFakeComboList : public TComboList {
public:
    void SetItems(const std::vector<std::wstring>& items) override { Items = items; }
    void SetItemIndex(int index) override { Index = index; }
    void SetBounds(const TRect& bounds, int itemHeight) override {
        Bounds = bounds;
        ItemHeight = itemHeight;
    }
    void DropDown() override { Dropped = true; }
    bool DroppedDown() const override { return Dropped; }

    std::vector<std::wstring> Items;
    int Index = -1;
    TRect Bounds;
    int ItemHeight = 0;
    bool Dropped = false;
};

class TFakeFormHost : public TFormHost {
public:
    explicit TFakeFormHost(TForm& form, TRect workArea = {0, 0, 1920, 1040})
        : WorkArea(workArea), FForm(form) {
        form.SetHost(this);
    }
    ~TFakeFormHost() override { FForm.SetHost(nullptr); }

    void InvalidateArea(const TRect& area) override { Invalidated.push_back(area); }
    void ShowWindow() override { Visible = true; }
    void HideWindow() override { Visible = false; }
    void PlaceWindow(const TRect& b) override { Placed = b; }
    void BringToFront() override { ++FrontCount; }
    void StartTimer(TTimer& t) override { FDue[&t] = Now + t.Interval(); }
    void StopTimer(TTimer& t) override { FDue.erase(&t); }
    void ControlsChanged() override {}
    TRect PrimaryWorkArea() const override { return WorkArea; }
    std::unique_ptr<TComboList> CreateComboList(TOrvikComboBox&) override {
        auto list = std::make_unique<TFakeComboList>();
        LastList = list.get();
        return list;
    }

    // Moves the clock on, firing every timer that falls due on the way.
    void Advance(unsigned ms) {
        const unsigned end = Now + ms;
        while (true) {
            TTimer* next = nullptr;
            for (auto& [t, due] : FDue)
                if (due <= end && (!next || due < FDue[next])) next = t;
            if (!next) break;
            Now = FDue[next];
            FDue[next] = Now + next->Interval();
            next->Fire();
        }
        Now = end;
    }

    TRect WorkArea;
    bool Visible = false;
    TRect Placed;
    int FrontCount = 0;
    unsigned Now = 0;
    std::vector<TRect> Invalidated;
    TFakeComboList* LastList = nullptr;

private:
    TForm& FForm;
    std::map<TTimer*, unsigned> FDue;
};

// Mouse events in form coordinates.
inline TViewMouse MouseAt(int x, int y, TShiftState shift = {}, TMouseButton button = mbLeft) {
    return {x, y, button, shift};
}
