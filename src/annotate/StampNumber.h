#pragma once
#include <cstdint>

// The number the next numbering stamp shows; 1 again at every capture
// request, and kept in step by undo and redo of stamp steps.
extern std::int32_t StampNumber;
