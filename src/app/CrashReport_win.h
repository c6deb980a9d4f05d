#pragma once
// Writes a minidump when the process faults or std::terminate runs, then
// ends the process. Everything the crash needs is made up front: dbghelp
// loaded from System32, the folder path, and a thread that writes the dump
// on a sound stack while the faulting thread waits.
#include "win32/Handles_win.h"

#include <dbghelp.h>

#include <atomic>
#include <exception>
#include <string>

class TCrashReporter {
public:
    TCrashReporter();
    TCrashReporter(const TCrashReporter&) = delete;
    TCrashReporter& operator=(const TCrashReporter&) = delete;
    ~TCrashReporter();

    // The first instance at start: prunes the folder; true when a crash
    // since the last start has not been told yet (it counts as told now).
    bool TakeUntoldCrash() const;

private:
    static LONG WINAPI Filter(EXCEPTION_POINTERS* pointers);
    static void Terminate();
    static DWORD WINAPI WriterMain(void* self);
    [[noreturn]] void WriteAndEnd(EXCEPTION_POINTERS* pointers, DWORD code) noexcept;
    void WriteDump() noexcept;
    static BOOL CALLBACK Progress(void* self, const PMINIDUMP_CALLBACK_INPUT input,
                                  PMINIDUMP_CALLBACK_OUTPUT output);

    std::wstring FFolder; // with a trailing backslash; empty when there is none
    unique_module FDbgHelp;
    decltype(&::MiniDumpWriteDump) FWriteDump = nullptr;
    decltype(&::SymInitializeW) FSymInitialize = nullptr;
    decltype(&::SymSetOptions) FSymSetOptions = nullptr;
    unique_handle FCrashed; // set by the faulting thread
    unique_handle FWritten; // set by the writer
    unique_handle FWriter;
    std::atomic<bool> FCrashing{false};
    std::atomic<bool> FQuit{false};
    std::atomic<unsigned> FProgress{0}; // callbacks seen while writing
    EXCEPTION_POINTERS* FPointers = nullptr;
    DWORD FThreadId = 0;
    // The dump's path, built in place at the crash: folder, name, suffix.
    wchar_t FPath[MAX_PATH + 8] = {};
    LPTOP_LEVEL_EXCEPTION_FILTER FPreviousFilter = nullptr;
    std::terminate_handler FPreviousTerminate = nullptr;
};
