#pragma once
// 8-bit Windows-1252 text is what the game, its files and its peers hold; Unicode
// lives only inside the platform layer, where text meets the toolkit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

// Windows-1252 bytes -> UTF-8. Bytes the code page leaves undefined map to U+FFFD-free
// C1 controls (U+0081 etc.) so that every byte round-trips.
std::string cp1252ToUtf8(const std::string& text);
// UTF-8 -> Windows-1252; characters the code page lacks become '?'.
std::string utf8ToCp1252(const std::string& text);

// Case-insensitive text order as the sorted list boxes use it (-1, 0, 1).
int compareTextIgnoreCase(const std::string& a, const std::string& b);

// The same order for long lists: the costly part of the comparison made once per text. A
// text can be compared as if `zeros` '0's stood in front of it, so zero-padded numbers sort
// without the padded text ever being built. The text must outlive its key.
class TextKey {
public:
    TextKey() = default;
    explicit TextKey(std::string_view text) { assign(text); }
    void assign(std::string_view text);
    static int compare(const TextKey& a, std::size_t zerosA, const TextKey& b, std::size_t zerosB);

private:
    std::string_view text_;
    std::u16string base_;  // accents off, case folded: decides all but near ties
    bool ascii_ = true;
};

// Decimal text -> 32-bit integer as the class library reads it: leading blanks, optional
// sign, digits ("$" or "0x" for hex), nothing after them, within 32 bits; throws
// plat::Exception("'abc' is not a valid integer value") otherwise.
std::int32_t strToInt(const std::string& text);

}  // namespace plat
