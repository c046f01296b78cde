// Windows-1252 <-> UTF-8, the list boxes' text order, and the integer reader of the
// class library.
#include "platform/text.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/exception.h"
#include "platform/qt_internal.h"

namespace plat {
namespace {

// 0x80..0x9F; the five holes of the code page keep their C1 code points so every byte
// survives a round trip through Qt.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t toUnicode(unsigned char c) { return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c; }

char toCp1252(char32_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

void appendUtf8(std::string& out, char32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

std::string cp1252ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (unsigned char c : text) appendUtf8(out, toUnicode(c));
    return out;
}

std::string utf8ToCp1252(const std::string& text) {
    // Qt decodes malformed sequences to U+FFFD, which then becomes '?'.
    return fromQt(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString toQt(const std::string& cp1252) {
    // One byte, one UTF-16 unit: the code page lies wholly in the BMP.
    QString s(static_cast<qsizetype>(cp1252.size()), Qt::Uninitialized);
    QChar* out = s.data();
    for (unsigned char c : cp1252) *out++ = QChar(static_cast<char16_t>(toUnicode(c)));
    return s;
}

std::string fromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t u : text.toUcs4()) out += toCp1252(u);
    return out;
}

namespace {

// Letters with and without accents sort together ("Émile" beside "Emile"), as a player
// expects of a name list; the accent only decides between otherwise equal names.
QString baseLetters(const QString& s) {
    QString decomposed = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (QChar c : decomposed)
        if (!c.isMark()) out += c;
    return out.toCaseFolded();
}

int sign(int r) { return r < 0 ? -1 : (r > 0 ? 1 : 0); }

}  // namespace

int compareTextIgnoreCase(const std::string& a, const std::string& b) {
    QString qa = toQt(a), qb = toQt(b);
    if (int r = QString::compare(baseLetters(qa), baseLetters(qb), Qt::CaseSensitive))
        return sign(r);
    return sign(QString::compare(qa, qb, Qt::CaseInsensitive));
}

void TextKey::assign(std::string_view text) {
    // Accents and case are taken off character by character, so the key is the keys of the
    // bytes in a row; those are made once, by the same code as compareTextIgnoreCase's.
    static const auto byteKeys = [] {
        std::array<std::u16string, 256> keys;
        for (int b = 0; b < 256; ++b) {
            const QString k = baseLetters(toQt(std::string(1, static_cast<char>(b))));
            keys[b].assign(reinterpret_cast<const char16_t*>(k.utf16()),
                           static_cast<std::size_t>(k.size()));
        }
        return keys;
    }();
    text_ = text;
    ascii_ = true;
    base_.clear();
    base_.reserve(text.size());
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            base_ += static_cast<char16_t>(b >= 'A' && b <= 'Z' ? b + 32 : b);
        } else {
            ascii_ = false;
            base_ += byteKeys[b];
        }
    }
}

namespace {

// Compares a and b as if za and zb '0's stood in front of them. Zeros survive accent
// removal and case folding unchanged, so the keys of the padded texts are the padded keys.
template <typename View, typename Compare>
int compareZeroPadded(View a, std::size_t za, View b, std::size_t zb, Compare compare) {
    if (za == zb) return sign(compare(a, b));
    const bool swapped = za > zb;
    if (swapped) {
        std::swap(a, b);
        std::swap(za, zb);
    }
    // The common zeros drop out: a against d zeros and then b.
    const std::size_t d = zb - za;
    const auto size = static_cast<std::size_t>(a.size());
    std::size_t k = 0;
    while (k < d && k < size && a[k] == u'0') ++k;
    int r;
    if (k == d)
        r = sign(compare(a.mid(d), b));
    else if (k == size)
        r = -1;  // a is all zeros and shorter than the other's padding
    else
        r = sign(compare(a.mid(k), View(u"0")));  // decided at a's first non-zero
    return swapped ? -r : r;
}

// std::u16string_view with the one member name QStringView has and it lacks.
struct U16View : std::u16string_view {
    using std::u16string_view::u16string_view;
    U16View(std::u16string_view v) : std::u16string_view(v) {}
    U16View mid(std::size_t pos) const { return substr(pos); }
};

}  // namespace

int TextKey::compare(const TextKey& a, std::size_t za, const TextKey& b, std::size_t zb) {
    // The first stage compares code units, as QString's case-sensitive compare does.
    if (int r = compareZeroPadded(U16View(a.base_), za, U16View(b.base_), zb,
                                  [](U16View x, U16View y) { return x.compare(y); }))
        return r;
    if (a.ascii_ && b.ascii_) return 0;  // for ASCII the second stage is the first again
    const QString ta = toQt(std::string(a.text_)), tb = toQt(std::string(b.text_));
    return compareZeroPadded(
        QStringView(ta), za, QStringView(tb), zb,
        [](QStringView x, QStringView y) { return x.compare(y, Qt::CaseInsensitive); });
}

std::int32_t strToInt(const std::string& text) {
    auto fail = [&]() -> std::int32_t {
        throw Exception("'" + text + "' is not a valid integer value");
    };
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return fail();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return fail();
        value = value * base + digit;
        if (value > 0x80000000LL) return fail();
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return fail();
    return static_cast<std::int32_t>(value);
}

}  // namespace plat
