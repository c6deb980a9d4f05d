#pragma once
// A broken property ends the run the way a sanitizer finding does, so
// libFuzzer keeps the input that shows it.
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void FuzzFail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(cond) ((cond) ? void(0) : FuzzFail(#cond, __FILE__, __LINE__))
