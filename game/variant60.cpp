// zwirlo60: 60 cards from the picture libraries; its resources hold no pictures.
#include "game/zwiunit1.h"

extern const plat::ResourceEntry zwirlo60Resources[];
extern const std::size_t zwirlo60Resources_count;

namespace game {

const Variant& zwirlo60Variant() {
    static const Variant v{false,
                           "zwirlo60.form",
                           "Zwirlo-60: Dieren",
                           "Zwirlo-60: Dieren \xA9 2026 de makers van Zwirlo",
                           "Zwirlo-60: Dieren",
                           "Versie 14.15.2.2",
                           60,
                           30,
                           10,
                           zwirlo60Resources,
                           zwirlo60Resources_count};
    return v;
}

}  // namespace game
