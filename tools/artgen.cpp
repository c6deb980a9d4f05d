// Draws the application icon and the crosshair cursor and writes them as
// .ico/.cur files for the resource compiler. Built and run on the build host.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {
struct TImage {
    int Size;
    std::vector<std::uint32_t> Argb; // top-down, $AARRGGBB, straight alpha
};

// Coverage of a shape predicate by 8x8 supersampling.
using TShape = std::function<bool(double x, double y)>;

void Paint(TImage& img, const TShape& shape, std::uint32_t rgb, double opacity = 1.0) {
    constexpr int N = 8;
    for (int y = 0; y < img.Size; ++y)
        for (int x = 0; x < img.Size; ++x) {
            int hits = 0;
            for (int sy = 0; sy < N; ++sy)
                for (int sx = 0; sx < N; ++sx)
                    hits += shape(x + (sx + 0.5) / N, y + (sy + 0.5) / N);
            if (!hits) continue;
            const double a = opacity * hits / (N * N);
            std::uint32_t& d = img.Argb[y * img.Size + x];
            const double da = (d >> 24) / 255.0;
            const double oa = a + da * (1 - a);
            auto ch = [&](int shift) {
                const double s = (rgb >> shift) & 0xFF, b = (d >> shift) & 0xFF;
                return static_cast<std::uint32_t>(std::lround((s * a + b * da * (1 - a)) / oa))
                       << shift;
            };
            d = (static_cast<std::uint32_t>(std::lround(oa * 255)) << 24) | ch(16) | ch(8) | ch(0);
        }
}

TShape RoundRect(double l, double t, double r, double b, double rad) {
    return [=](double x, double y) {
        if (x < l || x > r || y < t || y > b) return false;
        const double cx = std::clamp(x, l + rad, r - rad), cy = std::clamp(y, t + rad, b - rad);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad;
    };
}

TShape Box(double l, double t, double r, double b) {
    return [=](double x, double y) { return x >= l && x < r && y >= t && y < b; };
}

TShape Disc(double cx, double cy, double r) {
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

TImage DrawIcon(int s) {
    TImage img{s, std::vector<std::uint32_t>(s * s, 0)};
    const double S = s;
    Paint(img, RoundRect(0.03 * S, 0.03 * S, 0.97 * S, 0.97 * S, 0.2 * S), 0x0C2242);
    // Four corner brackets of a selection frame.
    const double in = 0.2 * S, th = std::max(1.0, 0.09 * S), len = 0.24 * S;
    for (int cx = 0; cx < 2; ++cx)
        for (int cy = 0; cy < 2; ++cy) {
            const double x0 = cx ? S - in - len : in, y0 = cy ? S - in - th : in;
            const double xv = cx ? S - in - th : in, yv = cy ? S - in - len : in;
            Paint(img, Box(x0, y0, x0 + len, y0 + th), 0xFFFFFF);
            Paint(img, Box(xv, yv, xv + th, yv + len), 0xFFFFFF);
        }
    Paint(img, Disc(S / 2, S / 2, 0.13 * S), 0xFF3B30);
    return img;
}

TImage DrawCross() {
    TImage img{32, std::vector<std::uint32_t>(32 * 32, 0)};
    const int hx = 16, hy = 15, arm = 11;
    auto cross = [&](double dx, double dy, double grow) {
        return [=](double x, double y) {
            x -= dx;
            y -= dy;
            const bool v = x >= hx - grow && x < hx + 1 + grow && y >= hy - arm - grow &&
                           y < hy + arm + 1 + grow;
            const bool h = y >= hy - grow && y < hy + 1 + grow && x >= hx - arm - grow &&
                           x < hx + arm + 1 + grow;
            return v || h;
        };
    };
    Paint(img, cross(1, 1, 1), 0x000000, 0.35); // shadow
    Paint(img, cross(0, 0, 1), 0x000000);       // outline
    Paint(img, cross(0, 0, 0), 0xFFFFFF);
    return img;
}

void Put16(std::vector<std::uint8_t>& o, unsigned v) {
    o.push_back(v & 0xFF);
    o.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& o, std::uint32_t v) {
    Put16(o, v & 0xFFFF);
    Put16(o, v >> 16);
}

// One DIB image as stored in .ico/.cur: header, 32-bit bottom-up pixels, AND mask.
std::vector<std::uint8_t> DibImage(const TImage& img) {
    std::vector<std::uint8_t> o;
    const int s = img.Size;
    Put32(o, 40);
    Put32(o, s);
    Put32(o, 2 * s);
    Put16(o, 1);
    Put16(o, 32);
    for (int i = 0; i < 6; ++i)
        Put32(o, 0);
    for (int y = s - 1; y >= 0; --y)
        for (int x = 0; x < s; ++x)
            Put32(o, img.Argb[y * s + x]);
    const int maskStride = ((s + 31) / 32) * 4;
    for (int y = s - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < s; ++x)
            if ((img.Argb[y * s + x] >> 24) == 0) row[x / 8] |= 0x80 >> (x % 8);
        o.insert(o.end(), row.begin(), row.end());
    }
    return o;
}

bool WriteIconFile(const std::string& path, const std::vector<TImage>& images, bool cursor,
                   int hotX = 0, int hotY = 0) {
    std::vector<std::uint8_t> o;
    Put16(o, 0);
    Put16(o, cursor ? 2 : 1);
    Put16(o, static_cast<unsigned>(images.size()));
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const auto& img : images)
        dibs.push_back(DibImage(img));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int s = images[i].Size;
        o.push_back(s >= 256 ? 0 : s);
        o.push_back(s >= 256 ? 0 : s);
        o.push_back(0);
        o.push_back(0);
        Put16(o, cursor ? hotX : 1);
        Put16(o, cursor ? hotY : 32);
        Put32(o, static_cast<std::uint32_t>(dibs[i].size()));
        Put32(o, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const auto& d : dibs)
        o.insert(o.end(), d.begin(), d.end());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(o.data()), static_cast<std::streamsize>(o.size()));
    return static_cast<bool>(f);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<TImage> icons;
    for (int s : {16, 20, 24, 32, 40, 48, 64, 128})
        icons.push_back(DrawIcon(s));
    const bool ok = WriteIconFile(dir + "/Kadrix.ico", icons, false) &&
                    WriteIconFile(dir + "/Cross.cur", {DrawCross()}, true, 16, 15);
    return ok ? 0 : 1;
}
