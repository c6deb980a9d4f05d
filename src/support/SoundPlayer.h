#pragma once
// Plays the shutter sound. The audio library arrives as a separate module;
// until one is attached the overlay is simply silent.
#include <string>

class TSoundPlayer {
public:
    virtual ~TSoundPlayer() = default;
    // Starts playing the file and returns at once; a missing file is silence.
    virtual void PlayFile(const std::wstring& path) = 0;
};
