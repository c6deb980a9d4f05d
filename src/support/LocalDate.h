#pragma once
// Local wall-clock moments as the registry's Date values: days since
// 1899-12-30, the fraction being the time of day.
#include "output/SaveRules.h"
#include "settings/SettingsUnit.h"

TDate DateTimeOf(const TLocalTime& time);
inline TDate DateTimeNow() {
    return DateTimeOf(LocalTimeNow());
}
// The day number alone (time of day dropped).
TDate DateOnly(TDate moment);
