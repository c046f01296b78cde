// Placeholder until the SDL player lands: records what was asked, plays nothing.
#include "platform/sound.h"

#include <mutex>

namespace plat {
namespace {
std::mutex m;
bool recording = false;
std::vector<std::string> log;
void record(const std::string& what) {
    std::lock_guard<std::mutex> g(m);
    if (recording) log.push_back(what);
}
}  // namespace

void playSound(const std::string& name) { record(name); }
void playSoundMemory(const unsigned char* wave) { record(wave ? "<memory>" : "<stop>"); }
void playDefaultSound() { record("<default>"); }
void SoundRecorder::enable(bool on) { recording = on; }
std::vector<std::string>& SoundRecorder::played() { return log; }
void SoundRecorder::clear() { log.clear(); }

}  // namespace plat
