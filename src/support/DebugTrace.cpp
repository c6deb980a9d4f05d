#include "support/DebugTrace.h"

#include <string>
#include <typeinfo>

void DebugTrace(std::wstring_view) noexcept {}

void DebugTraceException(std::wstring_view prefix, const std::exception& e) noexcept {
    try {
        std::wstring line(prefix);
        for (const char* p = typeid(e).name(); *p; ++p)
            line += static_cast<wchar_t>(*p);
        line += L' ';
        for (const char* p = e.what(); *p; ++p)
            line += static_cast<wchar_t>(*p);
        DebugTrace(line);
    } catch (...) {
    }
}
