// Modules, resources found by name ignoring case, bitmaps, and the shell.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/app.h"
#include "platform/resources.h"
#include "platform/shell.h"

using namespace plat;

namespace {

// A 24-bit BMP file image of w x h pixels.
std::vector<unsigned char> bmp24(int w, int h) {
    int stride = (w * 3 + 3) & ~3;
    std::uint32_t size = 54 + static_cast<std::uint32_t>(stride * h);
    std::vector<unsigned char> b(size, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    return b;
}

const std::vector<unsigned char> card = bmp24(5, 3);
const std::vector<unsigned char> picture = bmp24(4, 2);
const unsigned char wave[] = "RIFF....WAVE";
const ResourceEntry table[] = {
    {"BITMAP", "card", card.data(), card.size()},
    {"WAVE", "MyScore", wave, sizeof wave},
    {"BITMAP", "broken", wave, sizeof wave},
    {"BITMAP", "Pic1", picture.data(), picture.size()},
};

}  // namespace

TEST(Resources, FoundByTypeAndNameIgnoringCase) {
    registerProgramResources(table, std::size(table));
    std::size_t size = 99;
    EXPECT_EQ(findResource(programModule(), "wave", "myscore", &size), wave);
    EXPECT_EQ(size, sizeof wave);
    EXPECT_EQ(findResource(programModule(), "Bitmap", "CARD", &size), card.data());
    EXPECT_EQ(findResource(programModule(), "WAVE", "card", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(findResource(programModule(), "WAVE", "myscor", &size), nullptr);
    EXPECT_EQ(findResource(0, "WAVE", "myscore", &size), nullptr);
    EXPECT_EQ(findResource(12345, "WAVE", "myscore", &size), nullptr);
}

TEST(Resources, BitmapsDecodeOnceAndMissingOnesAreEmpty) {
    registerProgramResources(table, std::size(table));
    EXPECT_FALSE(bitmapDecoded(programModule(), "pic1"));
    Bitmap b = Bitmap::load(programModule(), "Card");
    EXPECT_EQ(b.width(), 5);
    EXPECT_EQ(b.height(), 3);
    EXPECT_EQ(b.bitsPerPixel(), 24);
    EXPECT_EQ(b.name(), "Card");
    EXPECT_EQ(Bitmap::load(programModule(), "card").data(), b.data());  // cached
    for (Module m : {programModule(), Module(0)}) {
        for (const char* name : {"void", "broken"}) {
            Bitmap e = Bitmap::load(m, name);
            EXPECT_TRUE(e.empty());
            EXPECT_EQ(e.width() + e.height(), 0);
        }
    }
    // The first one decoded brings the module's other pictures along, unasked, so that the
    // click that first shows one does not wait for the decoder.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!bitmapDecoded(programModule(), "PIC1") && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(bitmapDecoded(programModule(), "pic1"));
    EXPECT_EQ(Bitmap::load(programModule(), "pic1").width(), 4);
}

TEST(Resources, MissingLibraryLoadsAsZero) {
    EXPECT_EQ(loadLibrary("nosuchpix60.dll"), 0u);
    EXPECT_EQ(loadLibrary(""), 0u);
    EXPECT_EQ(loadLibrary(".dll"), 0u);
    // A library that is there: found beside the program, once, under either name.
    Module m = loadLibrary("beastpix60.dll");
    if (m == 0) GTEST_SKIP() << "no picture library built";
    EXPECT_EQ(loadLibrary("beastpix60.dll"), m);
    EXPECT_EQ(loadLibrary("beastpix60"), m);
    EXPECT_EQ(Bitmap::load(m, "card").width(), 105);
    setLibrariesHidden(true);
    EXPECT_EQ(loadLibrary("beastpix60.dll"), 0u);
    setLibrariesHidden(false);
}

TEST(Shell, ReportsWhatCannotStart) {
    EXPECT_FALSE(startProgram("no-such-program-here.exe"));
    EXPECT_FALSE(startProgram(""));
    EXPECT_FALSE(startProgram("/"));
    EXPECT_TRUE(startProgram("true"));  // from the PATH
}

TEST(Paths, ExecutableAndFolder) {
    EXPECT_EQ(exePath().substr(exePath().rfind('/') + 1), "test_platform_resources");
    EXPECT_EQ(exeDir() + "test_platform_resources", exePath());
}
