#include "app/CrashReport_win.h"

#include "app/CrashReport.h"

#include <shlobj.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {
namespace fs = std::filesystem;

// The handlers are plain functions; they find the reporter here.
std::atomic<class TCrashReporter*> Instance{nullptr};

// A writer that shows no progress for this long is given up: one stuck on a
// lock the faulting thread holds would never finish. Windows writes a dump
// in well under a second; Wine's dbghelp reads every unwind record of every
// module, one server round trip each: 6-8 s in all, of which Kadrix.exe's
// 17 000 functions are one stretch without a progress call, and several
// times that on a busy machine.
constexpr DWORD DumpStallLimitMs = 30000;
// However it progresses: a dead Kadrix must not hold the hotkeys for long.
constexpr DWORD DumpWriteLimitMs = 60000;
constexpr DWORD DumpPollMs = 250;
// Stacks, threads and modules: enough to read a fault, small enough to
// attach to a bug report.
constexpr auto DumpType = MiniDumpNormal;

// Wine's dbghelp dumps the writer's whole stack (it takes the faulting
// thread's context for the writer's own), and reads every byte slowly.
constexpr SIZE_T WriterStack = 256 * 1024;

std::wstring LocalAppData() {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &path)))
        result = path;
    ::CoTaskMemFree(path);
    return result;
}

template <typename T> T ProcAddress(HMODULE module, const char* name) {
    // Through a generic function pointer: a direct cast from FARPROC warns.
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}
} // namespace

TCrashReporter::TCrashReporter() {
    // System32 only, whatever the default search path is at this point.
    FDbgHelp.reset(::LoadLibraryExW(L"dbghelp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (FDbgHelp) {
        FWriteDump = ProcAddress<decltype(FWriteDump)>(FDbgHelp.get(), "MiniDumpWriteDump");
        FSymInitialize = ProcAddress<decltype(FSymInitialize)>(FDbgHelp.get(), "SymInitializeW");
        FSymSetOptions = ProcAddress<decltype(FSymSetOptions)>(FDbgHelp.get(), "SymSetOptions");
    }
    const std::wstring appData = LocalAppData();
    if (!appData.empty()) {
        std::error_code ec;
        const fs::path folder = fs::path(appData) / std::wstring(CrashFolderName);
        fs::create_directories(folder, ec);
        if (fs::is_directory(folder, ec)) FFolder = folder.wstring() + L"\\";
    }
    // Room for the longest name and the suffix of a write in progress.
    if (FFolder.size() + 64 > std::size(FPath)) FFolder.clear();
    if (!FWriteDump || FFolder.empty()) return;
    std::wmemcpy(FPath, FFolder.c_str(), FFolder.size());
    FCrashed.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    FWritten.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!FCrashed || !FWritten) return;
    FWriter.reset(::CreateThread(nullptr, WriterStack, WriterMain, this,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!FWriter) return;
    Instance = this;
    FPreviousFilter = ::SetUnhandledExceptionFilter(Filter);
    FPreviousTerminate = std::set_terminate(Terminate);
}

TCrashReporter::~TCrashReporter() {
    if (!FWriter) return;
    if (Instance == this) {
        ::SetUnhandledExceptionFilter(FPreviousFilter);
        std::set_terminate(FPreviousTerminate);
        Instance = nullptr;
    }
    FQuit = true;
    ::SetEvent(FCrashed.get());
    ::WaitForSingleObject(FWriter.get(), INFINITE);
}

LONG WINAPI TCrashReporter::Filter(EXCEPTION_POINTERS* pointers) {
    TCrashReporter* self = Instance;
    if (!self) return EXCEPTION_CONTINUE_SEARCH;
    self->WriteAndEnd(pointers, pointers->ExceptionRecord->ExceptionCode);
}

void TCrashReporter::Terminate() {
    // No exception record to hand over: describe this very spot.
    CONTEXT context{};
    ::RtlCaptureContext(&context);
    EXCEPTION_RECORD record{};
    record.ExceptionCode = STATUS_FATAL_APP_EXIT;
    record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
    EXCEPTION_POINTERS pointers{&record, &context};
    if (TCrashReporter* self = Instance) self->WriteAndEnd(&pointers, STATUS_FATAL_APP_EXIT);
    ::TerminateProcess(::GetCurrentProcess(), STATUS_FATAL_APP_EXIT);
    for (;;)
        ::Sleep(INFINITE);
}

void TCrashReporter::WriteAndEnd(EXCEPTION_POINTERS* pointers, DWORD code) noexcept {
    // One dump per process: a second faulting thread (the writer among
    // them) waits for the first to end the process.
    if (!FCrashing.exchange(true)) {
        FPointers = pointers;
        FThreadId = ::GetCurrentThreadId();
        ::SetEvent(FCrashed.get());
        unsigned seen = FProgress;
        DWORD quiet = 0;
        for (DWORD waited = 0; waited < DumpWriteLimitMs && quiet < DumpStallLimitMs;
             waited += DumpPollMs) {
            if (::WaitForSingleObject(FWritten.get(), DumpPollMs) != WAIT_TIMEOUT) break;
            const unsigned now = FProgress;
            quiet = now == seen ? quiet + DumpPollMs : 0;
            seen = now;
        }
        ::TerminateProcess(::GetCurrentProcess(), code);
    }
    for (;;)
        ::Sleep(INFINITE);
}

DWORD WINAPI TCrashReporter::WriterMain(void* param) {
    auto* self = static_cast<TCrashReporter*>(param);
    ::WaitForSingleObject(self->FCrashed.get(), INFINITE);
    if (!self->FQuit) self->WriteDump();
    ::SetEvent(self->FWritten.get());
    return 0;
}

void TCrashReporter::WriteDump() noexcept {
    // Nothing here allocates: the faulting thread may hold the heap's lock.
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    const std::size_t folder = FFolder.size();
    const std::size_t room = std::size(FPath) - folder - CrashPartSuffix.size();
    const std::size_t name =
        FormatCrashDumpName({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond},
                            ::GetCurrentProcessId(), {FPath + folder, room});
    if (name == 0) return;
    wchar_t part[std::size(FPath)];
    std::wmemcpy(part, FPath, folder + name);
    std::wmemcpy(part + folder + name, CrashPartSuffix.data(), CrashPartSuffix.size());
    part[folder + name + CrashPartSuffix.size()] = 0;

    BOOL written = FALSE;
    {
        unique_file file(::CreateFileW(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        // Only now: Wine's dbghelp reads this process's memory through the
        // server, which stops the main thread for every read, and a stopped
        // thread's large server request is cut and kills the process; for
        // seconds after start on a busy machine. Deferred: symbols are never
        // needed here, and loading them would take seconds more.
        if (FSymInitialize && FSymSetOptions) {
            FSymSetOptions(SYMOPT_DEFERRED_LOADS);
            FSymInitialize(::GetCurrentProcess(), nullptr, TRUE);
        }
        MINIDUMP_EXCEPTION_INFORMATION info{FThreadId, FPointers, FALSE};
        MINIDUMP_CALLBACK_INFORMATION progress{Progress, this};
        written = FWriteDump(::GetCurrentProcess(), ::GetCurrentProcessId(), file.get(), DumpType,
                             &info, nullptr, &progress);
    }
    // Only a complete dump gets its name; a cut one is removed at the next start.
    if (written)
        ::MoveFileExW(part, FPath, MOVEFILE_REPLACE_EXISTING);
    else
        ::DeleteFileW(part);
}

BOOL CALLBACK TCrashReporter::Progress(void* self, const PMINIDUMP_CALLBACK_INPUT input,
                                       PMINIDUMP_CALLBACK_OUTPUT output) {
    ++static_cast<TCrashReporter*>(self)->FProgress;
    switch (input->CallbackType) {
    case IncludeThreadCallback:
    case IncludeModuleCallback:
    case ThreadCallback:
    case ThreadExCallback:
    case ModuleCallback:
        return TRUE; // everything the dump type includes, as it is
    case CancelCallback:
        // Asked again now and then: more signs of progress.
        output->Cancel = FALSE;
        output->CheckCancel = TRUE;
        return TRUE;
    default:
        return FALSE; // no extra memory; the library's own behaviour
    }
}

bool TCrashReporter::TakeUntoldCrash() const {
    if (FFolder.empty()) return false;
    std::error_code ec;
    std::vector<std::wstring> files;
    for (const auto& entry : fs::directory_iterator(FFolder, ec))
        files.push_back(entry.path().filename().wstring());
    const fs::path toldFile = fs::path(FFolder) / std::wstring(CrashToldFileName);
    std::string toldText;
    if (std::ifstream in{toldFile, std::ios::binary}) {
        std::ostringstream text;
        text << in.rdbuf();
        toldText = text.str();
    }
    const TCrashStartPlan plan = PlanCrashStart(files, ParseToldList(toldText));
    for (const auto& name : plan.Remove)
        fs::remove(fs::path(FFolder) / name, ec);
    const std::string told = FormatToldList(plan.Told);
    if (told != toldText) std::ofstream(toldFile, std::ios::binary | std::ios::trunc) << told;
    return !plan.Tell.empty();
}
