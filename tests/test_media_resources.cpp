// The generated pictures and sounds as the programs find them: the picture libraries, the
// program resource tables, their formats and sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

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

// A drawing reduced to what stays when it is tinted, mirrored or drawn smaller: the art area
// cropped to the drawing's outline against the card's background and brought to a 32 x 32
// grid, each cell holding how much of it is drawing and the drawing's lightness there,
// set to zero mean and unit spread over the drawing.
struct Silhouette {
    static constexpr int kSide = 32;
    std::array<double, kSide * kSide> cover{}, grey{};
};

Silhouette silhouette(const unsigned char* bmp) {
    constexpr int kSide = Silhouette::kSide;
    const int x0 = 6, y0 = 5, x1 = 99, y1 = 76;  // above the name strip
    Area a = area(bmp, x0, y0, x1, y1);
    const int w = x1 - x0;
    int bx0 = w, by0 = y1 - y0, bx1 = -1, by1 = -1;
    for (std::size_t i = 0; i < a.ink.size(); ++i)
        if (a.ink[i]) {
            int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
            bx0 = std::min(bx0, x);
            bx1 = std::max(bx1, x);
            by0 = std::min(by0, y);
            by1 = std::max(by1, y);
        }
    Silhouette s;
    if (bx1 < 0) return s;
    const double bw = bx1 - bx0 + 1, bh = by1 - by0 + 1;
    std::array<double, kSide * kSide> seen{};
    // Each pixel is split into 4 x 4 parts so that cells get their fair share of it.
    const int kSplit = 4;
    for (int y = by0; y <= by1; ++y)
        for (int x = bx0; x <= bx1; ++x) {
            std::size_t i = static_cast<std::size_t>(y * w + x);
            std::uint32_t c = a.colour[i];
            int r = c >> 16 & 0xFF, g = c >> 8 & 0xFF, b = c & 0xFF;
            double light = (std::max({r, g, b}) + std::min({r, g, b})) / 2.0;
            for (int sy = 0; sy < kSplit; ++sy)
                for (int sx = 0; sx < kSplit; ++sx) {
                    int cx = static_cast<int>((x - bx0 + (sx + 0.5) / kSplit) * kSide / bw);
                    int cy = static_cast<int>((y - by0 + (sy + 0.5) / kSplit) * kSide / bh);
                    std::size_t cell = static_cast<std::size_t>(cy * kSide + cx);
                    seen[cell] += 1;
                    if (a.ink[i]) {
                        s.cover[cell] += 1;
                        s.grey[cell] += light;
                    }
                }
        }
    double sum = 0, sum2 = 0, weight = 0;
    for (std::size_t i = 0; i < s.cover.size(); ++i) {
        if (s.cover[i] > 0) s.grey[i] /= s.cover[i];
        if (seen[i] > 0) s.cover[i] /= seen[i];
        sum += s.cover[i] * s.grey[i];
        sum2 += s.cover[i] * s.grey[i] * s.grey[i];
        weight += s.cover[i];
    }
    double mean = sum / weight, spread = std::sqrt(std::max(1e-9, sum2 / weight - mean * mean));
    for (double& g : s.grey) g = (g - mean) / spread;
    return s;
}

// How unlike two drawings are whatever their tint, size and facing: the outlines' mismatch
// plus half the lightness mismatch where both have drawing, the lesser of the second drawing
// as it is and mirrored.
double shapeDistance(const Silhouette& a, const Silhouette& b) {
    constexpr int kSide = Silhouette::kSide;
    double best = 1e9;
    for (bool mirror : {false, true}) {
        double outline = 0, grey = 0, shared = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                std::size_t i = static_cast<std::size_t>(y * kSide + x);
                std::size_t j = static_cast<std::size_t>(y * kSide + (mirror ? kSide - 1 - x : x));
                outline += std::abs(a.cover[i] - b.cover[j]);
                double both = std::min(a.cover[i], b.cover[j]);
                grey += both * std::abs(a.grey[i] - b.grey[j]);
                shared += both;
            }
        best = std::min(best, outline / (kSide * kSide) + 0.5 * (shared > 0 ? grey / shared : 0));
    }
    return best;
}

// A drawing recoloured, mirrored or shrunk for a second animal lies below 0.25 on this
// measure; the closest truly different animals (panter and tijger, one pose in two coats)
// lie above 0.45.
TEST(MediaPictures, NoTwoAnimalsShareADrawing) {
    plat::Module animals = plat::loadLibrary("beastpix60.dll");
    ASSERT_NE(animals, 0u);
    std::vector<Silhouette> shapes;
    for (int n = 1; n <= 60; ++n) {
        std::size_t size = 0;
        const unsigned char* p =
            plat::findResource(animals, "BITMAP", "pic" + std::to_string(n), &size);
        ASSERT_NE(p, nullptr) << n;
        shapes.push_back(silhouette(p));
    }
    for (std::size_t i = 0; i < shapes.size(); ++i)
        for (std::size_t j = i + 1; j < shapes.size(); ++j)
            EXPECT_GT(shapeDistance(shapes[i], shapes[j]), 0.35)
                << "animals " << i + 1 << " and " << j + 1 << " are one drawing";
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
