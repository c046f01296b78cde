// Sounds on SDL audio: one queue-fed device, opened on first use. A new sound clears the
// queue before it is queued, so at most one plays; with no device everything is silent.
#include "platform/sound.h"

#include <SDL.h>
#include <dlfcn.h>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <numbers>
#include <type_traits>

#include "platform/resources.h"

namespace plat {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// No sound of ours comes near this; a RIFF header claiming more is not trusted.
constexpr std::uint32_t kMaxWaveBytes = 64u << 20;

std::mutex mutex;  // guards everything below
bool recording = false;
std::vector<std::string> recorded;
std::vector<std::size_t> handedBytes;
enum class Device { Unopened, Open, Missing };
Device device = Device::Unopened;
SDL_AudioDeviceID deviceId = 0;
std::uint64_t queued = 0;        // counts queued sounds, so a close check knows a newer one came
std::vector<std::int16_t> beep;  // the default sound, made on first use

// SDL is loaded on the first sound, not linked: its audio back ends pull in a long chain
// of libraries that would otherwise all load at start-up.
struct SdlApi {
#define ZW_SDL_FN(name) decltype(&::SDL_##name) name = nullptr;
    ZW_SDL_FN(CloseAudioDevice)
    ZW_SDL_FN(QuitSubSystem)
    ZW_SDL_FN(SetMainReady)
    ZW_SDL_FN(SetHint)
    ZW_SDL_FN(InitSubSystem)
    ZW_SDL_FN(OpenAudioDevice)
    ZW_SDL_FN(PauseAudioDevice)
    ZW_SDL_FN(ClearQueuedAudio)
    ZW_SDL_FN(QueueAudio)
    ZW_SDL_FN(GetQueuedAudioSize)
    ZW_SDL_FN(NewAudioStream)
    ZW_SDL_FN(AudioStreamPut)
    ZW_SDL_FN(AudioStreamFlush)
    ZW_SDL_FN(AudioStreamAvailable)
    ZW_SDL_FN(AudioStreamGet)
    ZW_SDL_FN(FreeAudioStream)
#undef ZW_SDL_FN
};
SdlApi sdl;
enum class Library { Unloaded, Loaded, Missing };
Library library = Library::Unloaded;

// Called with the mutex held. Tries once.
bool loadSdl() {
    if (library != Library::Unloaded) return library == Library::Loaded;
    library = Library::Missing;
    void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) return false;
    bool all = true;
    auto get = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
        all = all && fn != nullptr;
    };
#define ZW_SDL_GET(name) get(sdl.name, "SDL_" #name);
    ZW_SDL_GET(CloseAudioDevice)
    ZW_SDL_GET(QuitSubSystem)
    ZW_SDL_GET(SetMainReady)
    ZW_SDL_GET(SetHint)
    ZW_SDL_GET(InitSubSystem)
    ZW_SDL_GET(OpenAudioDevice)
    ZW_SDL_GET(PauseAudioDevice)
    ZW_SDL_GET(ClearQueuedAudio)
    ZW_SDL_GET(QueueAudio)
    ZW_SDL_GET(GetQueuedAudioSize)
    ZW_SDL_GET(NewAudioStream)
    ZW_SDL_GET(AudioStreamPut)
    ZW_SDL_GET(AudioStreamFlush)
    ZW_SDL_GET(AudioStreamAvailable)
    ZW_SDL_GET(AudioStreamGet)
    ZW_SDL_GET(FreeAudioStream)
#undef ZW_SDL_GET
    if (all) library = Library::Loaded;
    return all;
}

void record(const char* what) {
    std::lock_guard<std::mutex> g(mutex);
    if (recording) recorded.push_back(what);
}
void record(const std::string& what) { record(what.c_str()); }

std::uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

struct Pcm {
    SDL_AudioFormat format = 0;
    int channels = 0;
    int rate = 0;
    const unsigned char* data = nullptr;
    std::uint32_t bytes = 0;
};

// Finds the PCM samples in a RIFF WAVE image of `size` bytes; false for anything else.
bool parseWave(const unsigned char* p, std::size_t size, Pcm* out) {
    if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
        return false;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= size) {
        std::uint32_t len = le32(p + pos + 4);
        const unsigned char* body = p + pos + 8;
        std::size_t room = size - pos - 8;
        if (std::memcmp(p + pos, "fmt ", 4) == 0) {
            if (len < 16 || room < 16) return false;
            std::uint16_t tag = le16(body), bits = le16(body + 14);
            out->channels = le16(body + 2);
            out->rate = static_cast<int>(le32(body + 4));
            if (tag != 1 || out->channels < 1 || out->channels > 2 || out->rate < 1000 ||
                out->rate > 192000)
                return false;
            if (bits == 8)
                out->format = AUDIO_U8;
            else if (bits == 16)
                out->format = AUDIO_S16LSB;
            else
                return false;
            haveFormat = true;
        } else if (std::memcmp(p + pos, "data", 4) == 0) {
            if (!haveFormat) return false;
            out->data = body;
            out->bytes = static_cast<std::uint32_t>(std::min<std::size_t>(len, room));
            int frame = out->channels * (out->format == AUDIO_U8 ? 1 : 2);
            out->bytes -= out->bytes % static_cast<std::uint32_t>(frame);
            return true;
        }
        if (len > room) return false;
        pos += 8 + len + (len & 1);  // chunks are padded to an even length
    }
    return false;
}

void closeDevice() {
    std::lock_guard<std::mutex> g(mutex);
    if (device == Device::Open) {
        sdl.CloseAudioDevice(deviceId);
        sdl.QuitSubSystem(SDL_INIT_AUDIO);
    }
    device = Device::Missing;
}

// The sound library reports a missing sound card on stderr; for us that is simply silence.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

void silenceAlsa() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver && *driver && std::strcmp(driver, "alsa") != 0) return;
    // The same instance SDL will load; kept open for the rest of the run.
    void* lib = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (!lib) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    auto set = reinterpret_cast<int (*)(Handler)>(dlsym(lib, "snd_lib_error_set_handler"));
    if (set) set(quietAlsa);
}

// Called with the mutex held. Tries once; a machine without sound stays silent.
bool openDevice() {
    if (device != Device::Unopened) return device == Device::Open;
    device = Device::Missing;
    if (!loadSdl()) return false;
    silenceAlsa();
    sdl.SetMainReady();
    // Left alone, SDL takes SIGINT and SIGTERM over and turns them into events that nobody
    // reads: the program would no longer end on them.
    sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl.InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = AUDIO_S16LSB;
    want.channels = kChannels;
    want.samples = 1024;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes.
    deviceId = sdl.OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (deviceId == 0) {
        sdl.QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    sdl.PauseAudioDevice(deviceId, 0);
    device = Device::Open;
    static const bool closedAtExit = std::atexit(closeDevice) == 0;
    (void)closedAtExit;
    return true;
}

// An open device keeps SDL's mixing thread waking the program dozens of times a second,
// paused or not. Once a sound has played out the device is closed; the next sound opens it.
void closeWhenPlayedOut(std::uint32_t bytes) {
    if (!QCoreApplication::instance()) return;
    const std::uint64_t mine = queued;
    const int ms = static_cast<int>(bytes / (kRate * kChannels * 2.0) * 1000) + 500;
    // The timer must live on the main thread; sounds may be played from any thread.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [mine, ms] {
            QTimer::singleShot(ms, QCoreApplication::instance(), [mine] {
                std::lock_guard<std::mutex> g(mutex);
                if (mine != queued || device != Device::Open) return;
                if (sdl.GetQueuedAudioSize(deviceId) > 0) return closeWhenPlayedOut(0);
                sdl.CloseAudioDevice(deviceId);
                sdl.QuitSubSystem(SDL_INIT_AUDIO);
                device = Device::Unopened;
            });
        },
        Qt::QueuedConnection);
}

// Called with the mutex held: cuts off what is playing and queues `bytes` of device-format
// samples (16-bit stereo, 44 100 Hz).
void queue(const void* samples, std::uint32_t bytes) {
    if (recording) handedBytes.push_back(bytes);
    if (!openDevice()) return;
    sdl.ClearQueuedAudio(deviceId);
    if (bytes > 0) sdl.QueueAudio(deviceId, samples, bytes);
    ++queued;
    closeWhenPlayedOut(bytes);
}

void playPcm(const Pcm& pcm) {
    std::lock_guard<std::mutex> g(mutex);
    if (pcm.format == AUDIO_S16LSB && pcm.channels == kChannels && pcm.rate == kRate) {
        queue(pcm.data, pcm.bytes);
        return;
    }
    // Any other PCM layout is converted first.
    if (!loadSdl()) return;
    SDL_AudioStream* stream = sdl.NewAudioStream(pcm.format, static_cast<Uint8>(pcm.channels),
                                                 pcm.rate, AUDIO_S16LSB, kChannels, kRate);
    if (!stream) return;
    std::vector<unsigned char> out;
    if (sdl.AudioStreamPut(stream, pcm.data, static_cast<int>(pcm.bytes)) == 0 &&
        sdl.AudioStreamFlush(stream) == 0) {
        out.resize(static_cast<std::size_t>(sdl.AudioStreamAvailable(stream)));
        int got = sdl.AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    }
    sdl.FreeAudioStream(stream);
    queue(out.data(), static_cast<std::uint32_t>(out.size()));
}

void playImage(const unsigned char* wave, std::size_t size) {
    Pcm pcm;
    if (parseWave(wave, size, &pcm)) playPcm(pcm);
}

void playBeep() {
    std::lock_guard<std::mutex> g(mutex);
    if (beep.empty()) {
        // A soft two-tone beep, a tenth of a second.
        const int frames = kRate / 10;
        for (int i = 0; i < frames; ++i) {
            double t = static_cast<double>(i) / kRate;
            double env = std::min({1.0, i / 200.0, (frames - i) / 800.0});
            double hz = i < frames / 2 ? 880.0 : 1175.0;
            auto v = static_cast<std::int16_t>(
                std::lround(9000 * env * std::sin(2 * std::numbers::pi * hz * t)));
            beep.push_back(v);
            beep.push_back(v);
        }
    }
    queue(beep.data(), static_cast<std::uint32_t>(beep.size() * sizeof(std::int16_t)));
}

}  // namespace

void playSound(const std::string& name) {
    record(name);
    std::size_t size = 0;
    const unsigned char* wave = findResource(programModule(), "WAVE", name, &size);
    Pcm pcm;
    if (wave && parseWave(wave, size, &pcm))
        playPcm(pcm);
    else
        playBeep();
}

void playSoundMemory(const unsigned char* wave) {
    if (!wave) {
        record("<stop>");
        std::lock_guard<std::mutex> g(mutex);
        if (device == Device::Open) sdl.ClearQueuedAudio(deviceId);
        return;
    }
    record("<memory>");
    // The image's extent comes from its own header.
    if (std::memcmp(wave, "RIFF", 4) != 0) return;
    std::uint32_t riff = le32(wave + 4);
    if (riff > kMaxWaveBytes) return;
    playImage(wave, static_cast<std::size_t>(riff) + 8);
}

void playDefaultSound() {
    record("<default>");
    playBeep();
}

void SoundRecorder::enable(bool on) {
    std::lock_guard<std::mutex> g(mutex);
    recording = on;
}

std::vector<std::string>& SoundRecorder::played() { return recorded; }

std::vector<std::size_t>& SoundRecorder::handed() { return handedBytes; }

void SoundRecorder::clear() {
    std::lock_guard<std::mutex> g(mutex);
    recorded.clear();
    handedBytes.clear();
}

}  // namespace plat
