// Windows-1252 <-> UTF-8, the list boxes' text order, and the integer reader of the
// class library.
#include "platform/text.h"

#include <QString>
#include <QStringView>
#include <utility>

#include "platform/exception.h"
#include "platform/qt_internal.h"

namespace plat {
namespace {

// 0x80..0x9F; the five holes of the code page keep their C1 code points so every byte
// survives a round trip through Qt.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t toUnicode(unsigned char c) {
    return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
}

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
    QString s;
    s.reserve(static_cast<qsizetype>(cp1252.size()));
    for (unsigned char c : cp1252) s += QChar(static_cast<char16_t>(toUnicode(c)));
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

struct TextKeys::Keys {
    std::vector<QString> base, text;  // the two stages of compareTextIgnoreCase
};

TextKeys::TextKeys(const std::vector<std::string>& texts) : keys_(std::make_unique<Keys>()) {
    keys_->base.reserve(texts.size());
    keys_->text.reserve(texts.size());
    for (const auto& t : texts) {
        keys_->text.push_back(toQt(t));
        keys_->base.push_back(baseLetters(keys_->text.back()));
    }
}

TextKeys::~TextKeys() = default;

namespace {

// Compares a and b as if za and zb '0's stood in front of them. Zeros survive accent
// removal and case folding unchanged, so the keys of the padded texts are the padded keys.
int compareZeroPadded(QStringView a, std::size_t za, QStringView b, std::size_t zb,
                      Qt::CaseSensitivity cs) {
    if (za == zb) return sign(a.compare(b, cs));
    const bool swapped = za > zb;
    if (swapped) {
        std::swap(a, b);
        std::swap(za, zb);
    }
    // The common zeros drop out: a against d zeros and then b.
    const auto d = static_cast<qsizetype>(zb - za);
    qsizetype k = 0;
    while (k < d && k < a.size() && a[k] == u'0') ++k;
    int r;
    if (k == d)
        r = sign(a.mid(d).compare(b, cs));
    else if (k == a.size())
        r = -1;  // a is all zeros and shorter than the other's padding
    else
        r = sign(a.mid(k).compare(QStringView(u"0"), cs));  // decided at a's first non-zero
    return swapped ? -r : r;
}

}  // namespace

int TextKeys::compare(std::size_t a, std::size_t za, std::size_t b, std::size_t zb) const {
    const Keys& k = *keys_;
    if (int r = compareZeroPadded(k.base[a], za, k.base[b], zb, Qt::CaseSensitive)) return r;
    return compareZeroPadded(k.text[a], za, k.text[b], zb, Qt::CaseInsensitive);
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
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return fail();
        value = value * base + digit;
        if (value > 0x80000000LL) return fail();
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return fail();
    return static_cast<std::int32_t>(value);
}

}  // namespace plat
