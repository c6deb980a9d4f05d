#include "output/PlaceBottomRight.h"

#include "ui/Form.h"

void PlaceBottomRight(TForm& form) {
    if (!form.Host()) return;
    const TPoint p = BottomRightPosition(form.Host()->PrimaryWorkArea(), form.ClientWidth(),
                                         form.ClientHeight());
    form.SetPosition(p.X, p.Y);
}
