#include "annotate/StoreListBitmap32.h"

#include "annotate/StampNumber.h"

#include <algorithm>
#include <utility>

void TStoreListBitmap32::AddBitmap(const TBitmap32& b, bool Stamp) {
    const TRect all = b.BoundsRect();
    AddBitmap(b, Stamp, std::span(&all, 1));
}

void TStoreListBitmap32::AddBitmap(const TBitmap32& b, bool Stamp, std::span<const TRect> within) {
    if (FList.empty()) {
        TBitmap32 copy = b;
        FList.push_back({TBitmapDelta{}, Stamp});
        FCurrent = std::move(copy);
    } else {
        // Room first and the delta next, the only steps that can throw, so a
        // failure leaves the history as it was.
        const std::size_t needed = std::size_t(FPosition) + 2;
        if (FList.capacity() < needed) FList.reserve(std::max(needed, 2 * FList.capacity()));
        TBitmapDelta delta = TBitmapDelta::Record(FCurrent, b, within);
        FList.erase(FList.begin() + FPosition + 1, FList.end());
        FList.push_back({std::move(delta), Stamp});
    }
    FPosition = Count() - 1;
    UpdateState();
}

const TBitmap32* TStoreListBitmap32::UndoGet() {
    const TBitmap32* result = nullptr;
    if (FPosition >= 1) {
        TStep& step = FList[std::size_t(FPosition)];
        if (step.Stamp) --StampNumber;
        step.Delta.Swap(FCurrent);
        --FPosition;
        result = &FCurrent;
    }
    UpdateState();
    return result;
}

const TBitmap32* TStoreListBitmap32::RedoGet() {
    const TBitmap32* result = nullptr;
    if (FPosition < Count() - 1) {
        ++FPosition;
        TStep& step = FList[std::size_t(FPosition)];
        step.Delta.Swap(FCurrent);
        if (step.Stamp) ++StampNumber;
        result = &FCurrent;
    }
    UpdateState();
    return result;
}

void TStoreListBitmap32::Clear(bool isFree) {
    std::vector<TStep>().swap(FList);
    FCurrent = TBitmap32{};
    FPosition = 0;
    FAvailUndo = false;
    FAvailRedo = false;
    if (!isFree && OnChangeState) OnChangeState(false, false);
}

std::size_t TStoreListBitmap32::StoredBytes() const {
    std::size_t bytes = FCurrent.Pixels().size() * sizeof(TColor32);
    for (const TStep& step : FList)
        bytes += sizeof(TStep) + step.Delta.Bytes();
    return bytes;
}

void TStoreListBitmap32::UpdateState() {
    FAvailUndo = FPosition > 0;
    FAvailRedo = Count() - FPosition - 1 > 0;
    if (OnChangeState) OnChangeState(FAvailUndo, FAvailRedo);
}
