#include "FailureEvidence.h"

#include "KadrixProcess.h"
#include "codecs/ImageEncoder.h"
#include "win32/DibSection_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
fs::path EvidencePath(const std::string& what) {
    std::wstring dir = EnvVar(L"KADRIX_TEST_ARTIFACTS");
    if (dir.empty()) dir = BuildDir() + L"e2e-failures";
    std::string name = "test";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':') c = '_';
    // Several checks of one test may fail: each keeps its own files.
    static int serial = 0;
    fs::create_directories(dir);
    return fs::path(dir) / (name + "-" + std::to_string(++serial) + "-" + what + ".png");
}
} // namespace

std::string SaveEvidenceImage(const std::string& what, const TBitmap32& image) {
    try {
        const fs::path path = EvidencePath(what);
        const auto png = EncodePng(image);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        return path.string();
    } catch (const std::exception& e) {
        return std::string("no picture saved: ") + e.what();
    }
}

std::string SaveScreenGrab(const std::string& what) {
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN), y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
              h = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    try {
        TDibSection dib(w, h);
        TWindowDC screen(nullptr);
        if (!::BitBlt(dib.DC(), 0, 0, w, h, screen.get(), x, y, SRCCOPY))
            return "no screen grab: BitBlt failed";
        TBitmap32 image(w, h);
        for (int row = 0; row < h; ++row)
            std::copy_n(dib.Row(row), w, image.Row(row));
        return SaveEvidenceImage(what, image);
    } catch (const std::exception& e) {
        return std::string("no screen grab: ") + e.what();
    }
}
