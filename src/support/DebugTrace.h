#pragma once
// Diagnostic sink for the overlay's progress markers and swallowed errors.
// It deliberately records nothing: there is no log file, and a trace call
// must never be able to fail inside an error handler.
#include <exception>
#include <string_view>

void DebugTrace(std::wstring_view text) noexcept;

// "prefix" + error class name + " " + message, passed to DebugTrace.
void DebugTraceException(std::wstring_view prefix, const std::exception& e) noexcept;
