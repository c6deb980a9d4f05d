#pragma once
// What a failed screen check leaves behind: a grab of the whole virtual
// screen and, where a picture was expected, that picture, as PNG files in
// KADRIX_TEST_ARTIFACTS (scripts/test.sh points it into build/), named after
// the running test. The log names the files.
#include "gfx/Bitmap32.h"

#include <string>

// Grabs the screen now; returns the file written, or why none was.
std::string SaveScreenGrab(const std::string& what);
// Writes image as the test's expected or actual picture (what says which).
std::string SaveEvidenceImage(const std::string& what, const TBitmap32& image);
