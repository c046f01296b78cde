#pragma once
// Sounds: asynchronous, callable from any thread; starting one stops the one still
// playing. No audio device means silence, never an error.
#include <cstddef>
#include <string>
#include <vector>

namespace plat {

// Plays the program's "WAVE" resource of that name; a name the program lacks plays the
// platform's default sound (a short beep).
void playSound(const std::string& name);

// Plays a complete RIFF WAVE image held in memory; nullptr plays nothing and stops the
// sound still playing.
void playSoundMemory(const unsigned char* wave);

// The platform's default sound (a short beep of our own), as played for a missing name
// and for the default beep of the dialogs.
void playDefaultSound();

// What was asked to play, for tests: resource names, "<default>", "<memory>", "<stop>".
class SoundRecorder {
public:
    static void enable(bool on);
    static std::vector<std::string>& played();
    // Bytes of samples handed to the device, one entry per sound that got that far.
    static std::vector<std::size_t>& handed();
    static void clear();
};

}  // namespace plat
