#pragma once
// A point of a polygon outline, in pixel units: pixel (x, y) covers the
// square [x, x + 1) x [y, y + 1), so its centre is (x + 0.5, y + 0.5).

struct TFloatPoint {
    float X = 0;
    float Y = 0;

    friend constexpr bool operator==(const TFloatPoint&, const TFloatPoint&) = default;
};
