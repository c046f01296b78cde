// The sound player's contract with the game: what is asked is recorded in order from any
// thread, odd sound images are refused safely, and nothing needs a sound card.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/resources.h"
#include "platform/sound.h"

extern const plat::ResourceEntry zwirlo60Resources[];
extern const std::size_t zwirlo60Resources_count;

namespace {

// A small RIFF WAVE image; `dataClaim` lets a test lie about the data chunk's length.
std::vector<unsigned char> wave(int format, int channels, int bits, std::uint32_t dataBytes,
                                std::uint32_t dataClaim) {
    std::vector<unsigned char> b;
    auto put = [&b](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto tag = [&b](const char* t) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(t[i]));
    };
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(format, 2);
    put(channels, 2);
    put(22050, 4);
    put(22050 * channels * bits / 8, 4);
    put(channels * bits / 8, 2);
    put(bits, 2);
    tag("data");
    put(dataClaim, 4);
    for (std::uint32_t i = 0; i < dataBytes; ++i) b.push_back(static_cast<unsigned char>(i * 7));
    return b;
}

class MediaSound : public testing::Test {
protected:
    void SetUp() override {
        plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
        plat::SoundRecorder::enable(true);
        plat::SoundRecorder::clear();
    }
    void TearDown() override { plat::SoundRecorder::enable(true); }
};

TEST_F(MediaSound, RecordsWhatWasAskedInOrder) {
    std::size_t size = 0;
    const unsigned char* kept =
        plat::findResource(plat::programModule(), "WAVE", "yourscore", &size);
    ASSERT_NE(kept, nullptr);
    plat::playSound("myscore");
    plat::playSound("NoSuchSound");  // plays the default beep, recorded by the name asked
    plat::playSoundMemory(kept);
    plat::playSoundMemory(nullptr);
    plat::playDefaultSound();
    plat::playSound("ROBOT");
    EXPECT_EQ(plat::SoundRecorder::played(),
              (std::vector<std::string>{"myscore", "NoSuchSound", "<memory>", "<stop>", "<default>",
                                        "ROBOT"}));
    plat::SoundRecorder::clear();
    EXPECT_TRUE(plat::SoundRecorder::played().empty());
}

TEST_F(MediaSound, RecordsNothingWhileSwitchedOff) {
    plat::SoundRecorder::enable(false);
    plat::playSound("myscore");
    plat::playDefaultSound();
    plat::playSoundMemory(nullptr);
    EXPECT_TRUE(plat::SoundRecorder::played().empty());
}

TEST_F(MediaSound, PlaysFromManyThreadsAtOnce) {
    std::size_t size = 0;
    const unsigned char* kept =
        plat::findResource(plat::programModule(), "WAVE", "yourscore", &size);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([t, kept] {
            for (int i = 0; i < 40; ++i) {
                switch ((t + i) % 4) {
                case 0: plat::playSound("yourscore"); break;
                case 1: plat::playSoundMemory(kept); break;
                case 2: plat::playSoundMemory(nullptr); break;
                default: plat::playDefaultSound(); break;
                }
            }
        });
    for (auto& th : threads) th.join();
    const auto& played = plat::SoundRecorder::played();
    ASSERT_EQ(played.size(), 240u);
    for (const auto& p : played)
        EXPECT_TRUE(p == "yourscore" || p == "<memory>" || p == "<stop>" || p == "<default>") << p;
}

TEST_F(MediaSound, OddImagesAreRefusedWithoutReadingPastThem) {
    std::vector<unsigned char> huge = wave(1, 2, 16, 8, 8);
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;  // claims 4 GiB: not trusted
    struct Case {
        const char* what;
        std::vector<unsigned char> image;
        bool heard;
    } cases[] = {
        {"not the device's rate: converted", wave(1, 2, 16, 400, 400), true},
        {"8-bit mono, odd length", wave(1, 1, 8, 301, 301), true},
        {"floating point", wave(3, 2, 32, 400, 400), false},
        {"data chunk claims more than the file holds", wave(1, 2, 16, 400, 0x7FFFFFF0), true},
        {"no samples at all", wave(1, 2, 16, 0, 0), false},
        {"nine channels", wave(1, 9, 16, 400, 400), false},
        {"not RIFF", std::vector<unsigned char>(64, 'x'), false},
        {"RIFF size of 4 GiB", huge, false},
    };
    std::vector<std::size_t> heard;
    for (const Case& c : cases) {
        plat::SoundRecorder::clear();
        // A buffer of exactly the image's size, so any overread is caught.
        std::vector<unsigned char> exact(c.image);
        plat::playSoundMemory(exact.data());
        std::size_t bytes = 0;
        for (std::size_t n : plat::SoundRecorder::handed()) bytes += n;
        EXPECT_EQ(bytes > 0, c.heard) << c.what;
        heard.push_back(bytes);
    }
    // What the file holds plays, and no more.
    EXPECT_EQ(heard[3], heard[0]);
}

}  // namespace
