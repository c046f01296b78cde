// What the player hands the audio device, read back through SDL's disk driver: the samples
// of the sound asked for, and nothing of a sound that a newer one cut off.
#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/app.h"
#include "platform/resources.h"
#include "platform/sound.h"

extern const plat::ResourceEntry zwirlo60Resources[];
extern const std::size_t zwirlo60Resources_count;

namespace {

class MediaDiskAudio : public testing::Test {
protected:
    void SetUp() override {
        // The device opens on the first sound, so the driver chosen here is the one used;
        // it then writes to this one file until the program ends.
        path_ = std::filesystem::temp_directory_path() /
                ("zw-diskaudio-" + std::to_string(getpid()) + ".raw");
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
        plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
        // Earlier tests' output is no concern of this one: stop their sound and let what the
        // device had already taken drain out before marking where this test begins.
        plat::playSoundMemory(nullptr);
        if (std::filesystem::exists(path_)) {
            std::size_t from = written().size();
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (written().size() < from + 4 * 4096 && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        start_ = written().size();
    }
    void TearDown() override { plat::playSoundMemory(nullptr); }

    std::string samples(const char* name) {
        std::size_t size = 0;
        const unsigned char* w = plat::findResource(plat::programModule(), "WAVE", name, &size);
        EXPECT_NE(w, nullptr) << name;
        if (!w) return {};
        return std::string(reinterpret_cast<const char*>(w) + 44, size - 44);
    }

    std::string written() {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The driver writes at the pace of real playing: wait, within bounds, for `stretch`.
    std::size_t waitFor(const std::string& stretch) {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            std::size_t at = written().find(stretch, start_);
            if (at != std::string::npos) return at;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::string::npos;
    }

    // A stretch late in a sound that a cut-off never lets through. Not its very end: that
    // has faded to zeros, which the idle device writes too.
    static std::string lateStretch(const std::string& sound) {
        std::string s = sound.substr(sound.size() * 3 / 4, 8192);
        EXPECT_NE(s.find_first_not_of('\0'), std::string::npos);
        return s;
    }

    std::filesystem::path path_;
    std::size_t start_ = 0;
};

// Removes the driver's file when the program ends.
class DiskFileCleanup : public testing::Environment {
public:
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove(std::filesystem::temp_directory_path() /
                                    ("zw-diskaudio-" + std::to_string(getpid()) + ".raw"),
                                ec);
    }
};
const auto* const cleanup = testing::AddGlobalTestEnvironment(new DiskFileCleanup);

TEST_F(MediaDiskAudio, ResourceSamplesReachTheDevice) {
    std::string your = samples("yourscore");
    ASSERT_EQ(your.size(), 16640u);
    plat::playSound("yourscore");
    std::size_t at = waitFor(your);
    ASSERT_NE(at, std::string::npos) << "the whole sound never reached the output";
}

TEST_F(MediaDiskAudio, OtherLayoutsAreConvertedForTheDevice) {
    // 8-bit mono at 22 050 Hz, every sample 0xC0: close to half of full scale on both
    // channels once converted, whatever the resampler does at the edges.
    const std::uint32_t n = 22050;
    std::string img = "RIFF";
    auto put = [&img](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) img.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(36 + n, 4);
    img += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(22050, 4);
    put(22050, 4);
    put(1, 2);
    put(8, 2);
    img += "data";
    put(n, 4);
    img.append(n, static_cast<char>(0xC0));
    plat::playSoundMemory(reinterpret_cast<const unsigned char*>(img.data()));
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int run = 0;
    while (run < 8000 && std::chrono::steady_clock::now() < until) {
        std::string out = written();
        run = 0;
        for (std::size_t i = start_ + 1; i < out.size() && run < 8000; i += 2) {
            auto v = static_cast<std::int16_t>(static_cast<unsigned char>(out[i - 1]) |
                                               static_cast<unsigned char>(out[i]) << 8);
            run = (v > 15800 && v < 17000) ? run + 1 : 0;
        }
        if (run < 8000) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_GE(run, 8000) << "no steady stretch of 4000 converted frames";
}

TEST_F(MediaDiskAudio, MissingNamePlaysTheBeep) {
    plat::playSound("nosuchsound");
    // The idle device writes zeros; the beep is the only thing that can be heard.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool heard = false;
    while (!heard && std::chrono::steady_clock::now() < until) {
        std::string out = written();
        for (std::size_t i = start_ + 1; i + 1 < out.size() && !heard; i += 2) {
            auto v = static_cast<std::int16_t>(static_cast<unsigned char>(out[i - 1]) |
                                               static_cast<unsigned char>(out[i]) << 8);
            heard = v > 4000 || v < -4000;
        }
        if (!heard) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(heard);
}

TEST_F(MediaDiskAudio, NewSoundCutsOffTheOneStillPlaying) {
    std::string my = samples("myscore");
    std::string your = samples("yourscore");
    ASSERT_GT(my.size(), 400000u);
    plat::playSound("myscore");
    plat::playSound("yourscore");
    ASSERT_NE(waitFor(your), std::string::npos);
    // Sounds are queued in order: had the first not been cut off, all of it would have come
    // before the second.
    EXPECT_EQ(written().find(lateStretch(my), start_), std::string::npos);
}

TEST_F(MediaDiskAudio, KeptCopyPlaysAndNullStops) {
    std::size_t size = 0;
    const unsigned char* kept =
        plat::findResource(plat::programModule(), "WAVE", "yourscore", &size);
    std::string my = samples("myscore");
    plat::playSound("myscore");
    plat::playSoundMemory(nullptr);
    plat::playSoundMemory(kept);
    ASSERT_NE(waitFor(samples("yourscore")), std::string::npos);
    EXPECT_EQ(written().find(lateStretch(my), start_), std::string::npos);
}

// An open device keeps SDL's mixing thread waking the program dozens of times a second, so
// an idle game would never sleep: once the sound has played out, that thread must be gone.
TEST_F(MediaDiskAudio, DeviceClosesOnceTheSoundHasPlayedOut) {
    auto mixingThreads = [] {
        int n = 0;
        for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
            std::string name;
            std::getline(std::ifstream(task.path() / "comm"), name);
            n += name.rfind("SDLAudio", 0) == 0;
        }
        return n;
    };
    plat::playSound("yourscore");
    ASSERT_NE(waitFor(samples("yourscore")), std::string::npos);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (mixingThreads() > 0 && std::chrono::steady_clock::now() < until) {
        plat::Application::processMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(mixingThreads(), 0);
}

}  // namespace
