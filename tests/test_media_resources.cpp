// The generated pictures and sounds as the programs find them: the picture libraries, the
// program resource tables, their formats and sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>
#include <set>
#include <vector>
#include <string>

#include "platform/resources.h"

extern const plat::ResourceEntry zwirlo60Resources[];
extern const std::size_t zwirlo60Resources_count;
extern const plat::ResourceEntry zwirlo3Resources[];
extern const std::size_t zwirlo3Resources_count;

namespace {

std::uint32_t le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// Checks the BMP file image of one card: 105 x 105, 24 bits, uncompressed, complete.
void expectCardBitmap(const unsigned char* p, std::size_t size, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_NE(p, nullptr);
    const std::size_t rowBytes = 316;  // 105 * 3 padded to a multiple of 4
    ASSERT_GE(size, 54u);
    EXPECT_EQ(0, std::memcmp(p, "BM", 2));
    EXPECT_EQ(le32(p + 2), size);
    EXPECT_EQ(le32(p + 10), 54u);
    EXPECT_EQ(le32(p + 14), 40u);
    EXPECT_EQ(le32(p + 18), 105u);
    EXPECT_EQ(le32(p + 22), 105u);
    EXPECT_EQ(le16(p + 28), 24);
    EXPECT_EQ(le32(p + 30), 0u);  // uncompressed
    EXPECT_EQ(size, 54 + rowBytes * 105);
}

// Pixels of a card area [x0, x1) x [y0, y1) as 0xRRGGBB, and which of them stand out from
// the area's most common colour, its background.
struct Area {
    std::vector<std::uint32_t> colour;
    std::vector<bool> ink;
    double inkShare() const {
        return static_cast<double>(std::count(ink.begin(), ink.end(), true)) / ink.size();
    }
};

int colourDistance(std::uint32_t a, std::uint32_t b) {
    int d = 0;
    for (int k = 0; k < 24; k += 8)
        d += std::abs(static_cast<int>((a >> k) & 0xFF) - static_cast<int>((b >> k) & 0xFF));
    return d;
}

Area area(const unsigned char* bmp, int x0, int y0, int x1, int y1) {
    Area a;
    std::map<std::uint32_t, int> counts;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = bmp + 54 + (104 - y) * 316 + x * 3;
            a.colour.push_back(static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16));
            ++counts[a.colour.back()];
        }
    std::uint32_t bg = std::max_element(counts.begin(), counts.end(), [](auto& l, auto& r) {
                           return l.second < r.second;
                       })->first;
    for (std::uint32_t c : a.colour) a.ink.push_back(colourDistance(c, bg) > 60);
    return a;
}

// How unlike two pictures are where either shows something: near 0 when both carry the
// same drawing, whatever their background tints.
double artDifference(const Area& a, const Area& b) {
    double sum = 0;
    int n = 0;
    for (std::size_t i = 0; i < a.colour.size(); ++i)
        if (a.ink[i] || b.ink[i]) {
            sum += colourDistance(a.colour[i], b.colour[i]) / 3.0;
            ++n;
        }
    return n ? sum / n : 0;
}

struct PictureSet {
    const char* name;
    plat::Module module;
    int count;
};

// Loads every card of a set, checking each and that no two pictures are alike: a missing
// font or a broken drawing would leave blank, identical cards.
void expectSet(const PictureSet& set, const char* card, const char* voidName, const char* pic) {
    std::set<std::string> seen;
    std::vector<Area> arts;
    std::size_t size = 0;
    const unsigned char* back = plat::findResource(set.module, "BITMAP", card, &size);
    expectCardBitmap(back, size, std::string(set.name) + " " + card);
    seen.insert(std::string(reinterpret_cast<const char*>(back), size));

    const unsigned char* empty = plat::findResource(set.module, "BITMAP", voidName, &size);
    expectCardBitmap(empty, size, std::string(set.name) + " " + voidName);
    if (empty) {
        // The empty place is the window's own grey, every pixel of it.
        for (std::size_t row = 0; row < 105; ++row)
            for (std::size_t i = 0; i < 105 * 3; ++i)
                ASSERT_EQ(empty[54 + row * 316 + i], 0xF0) << set.name << " void, row " << row;
    }

    for (int n = 1; n <= set.count; ++n) {
        std::string name = pic + std::to_string(n);
        const unsigned char* p = plat::findResource(set.module, "BITMAP", name, &size);
        expectCardBitmap(p, size, std::string(set.name) + " " + name);
        if (!p) continue;
        EXPECT_TRUE(seen.insert(std::string(reinterpret_cast<const char*>(p), size)).second)
            << set.name << " " << name << " repeats an earlier picture";
        // Animals and birds have their picture above the name; a Greek letter fills the card.
        bool greek = set.count == 48;
        arts.push_back(greek ? area(p, 6, 6, 99, 99) : area(p, 6, 5, 99, 76));
        EXPECT_GT(arts.back().inkShare(), greek ? 0.02 : 0.06)
            << set.name << " " << name << " shows too little";
        plat::Bitmap bmp = plat::Bitmap::load(set.module, name);
        EXPECT_EQ(bmp.width(), 105) << name;
        EXPECT_EQ(bmp.height(), 105) << name;
        EXPECT_EQ(bmp.bitsPerPixel(), 24) << name;
    }
    EXPECT_EQ(plat::findResource(set.module, "BITMAP", pic + std::to_string(set.count + 1), &size),
              nullptr);
    // Different names over one and the same drawing (a glyph the font lacks, say) would
    // leave only the lettering to tell cards apart.
    if (set.count == 48) return;
    for (std::size_t i = 0; i < arts.size(); ++i)
        for (std::size_t j = i + 1; j < arts.size(); ++j)
            EXPECT_GT(artDifference(arts[i], arts[j]), 12.0)
                << set.name << " pictures " << i + 1 << " and " << j + 1 << " look alike";
}

TEST(MediaPictures, LibrariesHoldEveryCardOfTheirSet) {
    plat::Module animals = plat::loadLibrary("beastpix60.dll");
    plat::Module birds = plat::loadLibrary("wingpix60.dll");
    ASSERT_NE(animals, 0u);
    ASSERT_NE(birds, 0u);
    EXPECT_NE(animals, birds);
    EXPECT_EQ(plat::loadLibrary("beastpix60.dll"), animals);
    expectSet({"beastpix60", animals, 60}, "card", "void", "pic");
    expectSet({"wingpix60", birds, 60}, "card", "void", "pic");
}

TEST(MediaPictures, LibraryLookupIgnoresCase) {
    plat::Module animals = plat::loadLibrary("beastpix60.dll");
    ASSERT_NE(animals, 0u);
    std::size_t a = 0, b = 0, c = 0;
    const unsigned char* lower = plat::findResource(animals, "BITMAP", "pic17", &a);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(plat::findResource(animals, "bitmap", "PIC17", &b), lower);
    EXPECT_EQ(plat::findResource(animals, "Bitmap", "Pic17", &c), lower);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, c);
    EXPECT_NE(plat::findResource(animals, "BITMAP", "CARD", &a), nullptr);
    EXPECT_NE(plat::findResource(animals, "BITMAP", "Void", &a), nullptr);
    // Sounds belong to the programs, not to the picture libraries.
    EXPECT_EQ(plat::findResource(animals, "WAVE", "myscore", &a), nullptr);
}

TEST(MediaPictures, MissingLibraryGivesNoModule) {
    EXPECT_EQ(plat::loadLibrary("noanimals60.dll"), 0u);
    EXPECT_EQ(plat::loadLibrary("beastpix61.dll"), 0u);
    plat::Bitmap bmp = plat::Bitmap::load(0, "pic1");
    EXPECT_TRUE(bmp.empty());
}

TEST(MediaPictures, GreekCardsAreCompiledIntoZwirlo3Only) {
    plat::registerProgramResources(zwirlo3Resources, zwirlo3Resources_count);
    expectSet({"zwirlo3", plat::programModule(), 48}, "CARD", "VOID", "PIC");
    std::size_t size = 0;
    EXPECT_NE(plat::findResource(plat::programModule(), "BITMAP", "pic48", &size), nullptr);

    plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
    EXPECT_EQ(plat::findResource(plat::programModule(), "BITMAP", "pic1", &size), nullptr);
    EXPECT_EQ(plat::findResource(plat::programModule(), "BITMAP", "card", &size), nullptr);
}

// Catches pixels written in the wrong byte order or rows the wrong way up.
TEST(MediaPictures, CardsAreTheRightWayRoundAndColoured) {
    auto pixel = [](const unsigned char* bmp, int x, int y) {
        const unsigned char* p = bmp + 54 + (104 - y) * 316 + x * 3;
        return std::array<int, 3>{p[2], p[1], p[0]};  // r, g, b
    };
    // Small Greek letters are inked in blue, capitals in red.
    plat::registerProgramResources(zwirlo3Resources, zwirlo3Resources_count);
    auto inkOf = [&](const char* name) {
        std::size_t size = 0;
        const unsigned char* bmp = plat::findResource(plat::programModule(), "BITMAP", name, &size);
        EXPECT_NE(bmp, nullptr) << name;
        std::array<long, 3> sum{};
        if (!bmp) return sum;
        for (int y = 10; y < 95; ++y)
            for (int x = 10; x < 95; ++x) {
                auto c = pixel(bmp, x, y);
                if (c[0] + c[1] + c[2] < 450)
                    for (int k = 0; k < 3; ++k)
                        sum[static_cast<std::size_t>(k)] += c[static_cast<std::size_t>(k)];
            }
        return sum;
    };
    auto small = inkOf("PIC1"), capital = inkOf("PIC25");
    EXPECT_GT(small[2], small[0]);
    EXPECT_GT(capital[0], capital[2]);
    // The name is lettered on a light band at the bottom of an animal card.
    plat::Module animals = plat::loadLibrary("beastpix60.dll");
    std::size_t size = 0;
    const unsigned char* lion = plat::findResource(animals, "BITMAP", "pic2", &size);
    ASSERT_NE(lion, nullptr);
    int light = 0;
    for (int x = 8; x < 97; ++x) {
        auto c = pixel(lion, x, 80);
        if (c[0] + c[1] + c[2] > 660) ++light;
    }
    EXPECT_GT(light, 80);
}

// The four sounds: complete RIFF WAVE images of the fixed sizes, clean at both ends.
struct SoundCase {
    const char* name;
    std::uint32_t dataBytes;
};
void PrintTo(const SoundCase& c, std::ostream* os) {
    *os << c.name << ", " << c.dataBytes << " bytes";
}

class MediaSounds : public testing::TestWithParam<SoundCase> {};

TEST_P(MediaSounds, AreCompleteWaveFilesOfTheirSize) {
    const SoundCase& sc = GetParam();
    for (bool three : {false, true}) {
        SCOPED_TRACE(three ? "zwirlo3" : "zwirlo60");
        if (three)
            plat::registerProgramResources(zwirlo3Resources, zwirlo3Resources_count);
        else
            plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
        std::size_t size = 0;
        const unsigned char* w = plat::findResource(plat::programModule(), "WAVE", sc.name, &size);
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(size, 44u + sc.dataBytes);
        EXPECT_EQ(0, std::memcmp(w, "RIFF", 4));
        EXPECT_EQ(le32(w + 4), size - 8);
        EXPECT_EQ(0, std::memcmp(w + 8, "WAVEfmt ", 8));
        EXPECT_EQ(le32(w + 16), 16u);
        EXPECT_EQ(le16(w + 20), 1);  // PCM
        EXPECT_EQ(le16(w + 22), 2);
        EXPECT_EQ(le32(w + 24), 44100u);
        EXPECT_EQ(le32(w + 28), 176400u);
        EXPECT_EQ(le16(w + 32), 4);
        EXPECT_EQ(le16(w + 34), 16);
        EXPECT_EQ(0, std::memcmp(w + 36, "data", 4));
        EXPECT_EQ(le32(w + 40), sc.dataBytes);
        // Audible, never clipped, and fading in and out rather than clicking.
        const unsigned char* s = w + 44;
        std::size_t samples = sc.dataBytes / 2;
        int peak = 0;
        for (std::size_t i = 0; i < samples; ++i)
            peak = std::max(peak, std::abs(static_cast<std::int16_t>(le16(s + 2 * i))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32000);
        EXPECT_LT(std::abs(static_cast<std::int16_t>(le16(s))), 200);
        EXPECT_LT(std::abs(static_cast<std::int16_t>(le16(s + 2 * (samples - 1)))), 200);
    }
}

INSTANTIATE_TEST_SUITE_P(All, MediaSounds,
                         testing::Values(SoundCase{"myscore", 492316},
                                         SoundCase{"yourscore", 16640}, SoundCase{"robot", 458268},
                                         SoundCase{"conlost", 402112}),
                         [](const testing::TestParamInfo<SoundCase>& i) { return i.param.name; });

TEST(MediaSoundsLookup, NamesIgnoreCase) {
    plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
    std::size_t size = 0;
    for (const char* name : {"myscore", "yourscore", "robot", "conlost"}) {
        std::string upper(name);
        for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
        const unsigned char* w = plat::findResource(plat::programModule(), "WAVE", name, &size);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(plat::findResource(plat::programModule(), "wave", upper, &size), w) << name;
    }
}

}  // namespace
