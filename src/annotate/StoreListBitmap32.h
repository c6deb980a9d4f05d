#pragma once
// The undo history of one capture: a linear list of steps with a cursor.
// Only the image at the cursor is kept whole; every other step is a delta
// of the rectangle it changed, so a step costs memory in proportion to the
// stroke and the history can stay unlimited. Undo and redo move the cursor
// by swapping deltas into that image, and keep StampNumber in step with the
// stamps recorded up to the cursor.
#include "annotate/BitmapDelta.h"
#include "gfx/Bitmap32.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

using TNotifyChangeUndoRedo = std::function<void(bool AvailUndo, bool AvailRedo)>;

class TStoreListBitmap32 {
public:
    TStoreListBitmap32() = default;
    TStoreListBitmap32(const TStoreListBitmap32&) = delete;
    TStoreListBitmap32& operator=(const TStoreListBitmap32&) = delete;

    // Raised after every change of the store, also by an undo or redo that
    // could not move.
    TNotifyChangeUndoRedo OnChangeState;

    // Records b as the newest step and drops the redo steps. Stamp marks the
    // commit of a numbering stamp. An image equal to the current one still
    // makes a step.
    void AddBitmap(const TBitmap32& b, bool Stamp);
    // The same for a b that differs from the current image only inside the
    // within rectangles (what a commit drew into): nothing else is compared.
    void AddBitmap(const TBitmap32& b, bool Stamp, std::span<const TRect> within);

    // The image to show after one step back or forward, or nullptr when the
    // cursor cannot move. The image stays owned by the store and is valid
    // until the next call that changes the store; copy its pixels.
    const TBitmap32* UndoGet();
    const TBitmap32* RedoGet();

    // Frees every step. Unless isFree, announces (false, false).
    void Clear(bool isFree);

    int Count() const { return int(FList.size()); }
    int Position() const { return FPosition; }
    bool AvailUndo() const { return FAvailUndo; }
    bool AvailRedo() const { return FAvailRedo; }

    // Bytes held for the history: the current image plus every delta.
    std::size_t StoredBytes() const;

private:
    struct TStep {
        TBitmapDelta Delta; // turns this step's image into the previous one's and back
        bool Stamp = false;
    };

    void UpdateState();

    std::vector<TStep> FList;
    TBitmap32 FCurrent; // the image of the step at FPosition
    int FPosition = 0;
    bool FAvailUndo = false;
    bool FAvailRedo = false;
};
