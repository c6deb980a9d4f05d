// Entry points of the windows that are created on demand. Each window's
// module takes its entry point over when it arrives; until then the request
// is accepted and shows nothing.
#include "app/Forms_win.h"
#include "capture/SetRegionFormUnit_win.h"

void RequestAreaCapture() {
    if (SetRegionForm) SetRegionForm->StartSelectRegion(0);
}
