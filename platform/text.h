#pragma once
// 8-bit Windows-1252 text is what the game, its files and its peers hold; Unicode
// lives only inside the platform layer, where text meets the toolkit.
#include <cstdint>
#include <string>

namespace plat {

// Windows-1252 bytes -> UTF-8. Bytes the code page leaves undefined map to U+FFFD-free
// C1 controls (U+0081 etc.) so that every byte round-trips.
std::string cp1252ToUtf8(const std::string& text);
// UTF-8 -> Windows-1252; characters the code page lacks become '?'.
std::string utf8ToCp1252(const std::string& text);

// Case-insensitive text order as the sorted list boxes use it (-1, 0, 1).
int compareTextIgnoreCase(const std::string& a, const std::string& b);

// Decimal text -> 32-bit integer as the class library reads it: leading blanks, optional
// sign, digits ("$" or "0x" for hex), nothing after them, within 32 bits; throws
// plat::Exception("'abc' is not a valid integer value") otherwise.
std::int32_t strToInt(const std::string& text);

}  // namespace plat
