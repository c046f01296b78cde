// A picture library of zwirlo60: its card pictures ("card", "void", "pic1" .. "pic60"),
// handed to the program through the one symbol it exports.
#include <cstddef>

#include "platform/resources.h"

// The generated table of this library's pictures.
extern const plat::ResourceEntry pictureTable[];
extern const std::size_t pictureTable_count;

extern "C" __attribute__((visibility("default"))) const plat::ResourceEntry* zw_resources(
    std::size_t* count) {
    if (count) *count = pictureTable_count;
    return pictureTable;
}
