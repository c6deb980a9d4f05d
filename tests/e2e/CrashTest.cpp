// Crash reports and the library search path, with no switch in the product:
// a copy of Kadrix runs beside planted stand-ins of system libraries, and
// the driver makes it fault from outside.
#include "KadrixProcess.h"

#include <gtest/gtest.h>

#include <dbghelp.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {
constexpr ULONG32 DumpSignature = 0x504D444D; // "MDMP" as the file spells it

fs::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    fs::path result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

// Wine prefers its own copy of a system library to one found beside the
// exe; "native first" for Kadrix makes it search the way Windows does.
constexpr wchar_t NativeFirstKey[] = L"Software\\Wine\\AppDefaults\\Kadrix.exe\\DllOverrides";

void NativeFirst(const wchar_t* library, bool on) {
    if (!on) {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, NativeFirstKey, library);
        return;
    }
    const wchar_t order[] = L"native,builtin";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, NativeFirstKey, library, REG_SZ, order, sizeof order);
}

// The exception code of a minidump's exception stream; 0 when the file is
// no minidump or has none.
DWORD DumpExceptionCode(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    const auto at = [&](std::size_t offset, std::size_t size) {
        return offset + size <= bytes.size() ? bytes.data() + offset : nullptr;
    };
    MINIDUMP_HEADER header;
    if (!at(0, sizeof header)) return 0;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.Signature != DumpSignature) return 0;
    for (ULONG32 i = 0; i < header.NumberOfStreams; ++i) {
        MINIDUMP_DIRECTORY entry;
        const char* p = at(header.StreamDirectoryRva + i * sizeof entry, sizeof entry);
        if (!p) return 0;
        std::memcpy(&entry, p, sizeof entry);
        if (entry.StreamType != ExceptionStream) continue;
        MINIDUMP_EXCEPTION_STREAM stream;
        if (!(p = at(entry.Location.Rva, sizeof stream))) return 0;
        std::memcpy(&stream, p, sizeof stream);
        return stream.ExceptionRecord.ExceptionCode;
    }
    return 0;
}

class Crash : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettingsKey();
        NoCompanionWindows();
        std::error_code ec;
        fs::remove_all(FCrashes, ec);
        fs::remove_all(FDir, ec);
        fs::create_directories(FDir);
        fs::copy_file(fs::path(BuildDir()) / L"Kadrix.exe", FDir / L"Kadrix.exe");
        for (const wchar_t* name : {L"dbghelp.dll", L"version.dll"})
            fs::copy_file(fs::path(BuildDir()) / L"kadrix_planted.dll", FDir / name);
        NativeFirst(L"dbghelp", true);
    }
    void TearDown() override {
        FKadrix.reset();
        NativeFirst(L"dbghelp", false);
        std::error_code ec;
        fs::remove_all(FCrashes, ec);
        fs::remove_all(FDir, ec);
        ResetSettingsKey();
    }
    void Start() { FKadrix = std::make_unique<TKadrixProcess>(L"", FDir.wstring() + L"\\"); }
    std::vector<fs::path> Dumps() const {
        std::vector<fs::path> found;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(FCrashes, ec))
            found.push_back(e.path());
        return found;
    }
    bool Notified() const {
        const std::wstring text = FKadrix->NotificationText();
        return text.starts_with(L"Kadrix неожиданно закрылся.") &&
               text.ends_with(L"%LOCALAPPDATA%\\Kadrix\\crashes");
    }

    const fs::path FCrashes = KnownFolder(FOLDERID_LocalAppData) / L"Kadrix" / L"crashes";
    const fs::path FDir = fs::temp_directory_path() / L"kadrix-planted";
    std::unique_ptr<TKadrixProcess> FKadrix;
};

TEST_F(Crash, LibraryPlantedBesideTheExeIsNotLoaded) {
    // The stand-in does leave its mark when it is loaded.
    const fs::path own = fs::path(BuildDir()) / L"kadrix_planted.dll";
    ::FreeLibrary(::LoadLibraryW(own.c_str()));
    EXPECT_TRUE(fs::exists(own.wstring() + L".loaded"));
    fs::remove(own.wstring() + L".loaded");

    Start();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    // dbghelp is loaded before the first window, for the crash report.
    EXPECT_FALSE(fs::exists(FDir / L"dbghelp.dll.loaded"));
}

TEST_F(Crash, FaultFromOutsideLeavesADumpAndTheNextStartTellsOnce) {
    Start();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    const DWORD pid = FKadrix->Pid();
    // A thread that starts at an address where no code is.
    const auto start = std::chrono::steady_clock::now();
    unique_handle thread(::CreateRemoteThread(FKadrix->Process(), nullptr, 0,
                                              reinterpret_cast<LPTHREAD_START_ROUTINE>(0x10),
                                              nullptr, 0, nullptr));
    ASSERT_TRUE(thread) << "CreateRemoteThread failed: " << ::GetLastError();
    DWORD code = 0;
    // Bounded by the writer's 60 s limit; the time it took is printed below
    // (6-8 s under Wine, whose dbghelp is slow; well under 1 s on Windows).
    ASSERT_TRUE(FKadrix->WaitExit(61s, &code)) << "still running 61 s after the fault";
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(code, DWORD(EXCEPTION_ACCESS_VIOLATION));

    const std::vector<fs::path> files = Dumps();
    ASSERT_EQ(files.size(), 1u) << "expected exactly the dump in " << FCrashes;
    const fs::path& dump = files.front();
    EXPECT_EQ(dump.extension(), L".dmp");
    EXPECT_TRUE(dump.filename().wstring().ends_with(L"_" + std::to_wstring(pid) + L".dmp"));
    EXPECT_EQ(DumpExceptionCode(dump), DWORD(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_FALSE(fs::exists(FDir / L"dbghelp.dll.loaded")); // written by the system's dbghelp
    std::cout << "[crash] dump " << fs::file_size(dump) << " bytes, process ended " << seconds
              << " s after the fault\n";

    Start();
    EXPECT_TRUE(WaitUntil([&] { return Notified(); }, 10s)) << "the next start did not tell";
    FKadrix.reset();

    // Told once: the start after that shows nothing.
    Start();
    ASSERT_NE(FKadrix->WaitMainWindow(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return FKadrix->FindWindowOfClass(L"TLoadForm") != nullptr; }));
    std::this_thread::sleep_for(NothingHappensWithin);
    EXPECT_FALSE(Notified());
    EXPECT_EQ(Dumps().size(), 2u); // the dump and the told list
}
} // namespace
