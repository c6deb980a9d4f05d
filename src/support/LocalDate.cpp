#include "support/LocalDate.h"

#include <cmath>

namespace {
// Days from 1970-01-01 to a civil date (proleptic Gregorian).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}
constexpr long UnixEpochAsDate = 25569; // 1970-01-01 counted from 1899-12-30
} // namespace

TDate DateTimeOf(const TLocalTime& t) {
    const long days = DaysFromCivil(t.y, static_cast<unsigned>(t.m), static_cast<unsigned>(t.d)) +
                      UnixEpochAsDate;
    const double secs = t.h * 3600.0 + t.n * 60.0 + t.s + t.ms / 1000.0;
    return static_cast<double>(days) + secs / 86400.0;
}

TDate DateOnly(TDate moment) {
    return std::floor(moment);
}
