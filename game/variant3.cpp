// zwirlo3: 48 cards, the Greek alphabet pictures built into its resources.
#include "game/zwiunit1.h"

extern const plat::ResourceEntry zwirlo3Resources[];
extern const std::size_t zwirlo3Resources_count;

namespace game {

const Variant& zwirlo3Variant() {
    static const Variant v{true,
                           "zwirlo3.form",
                           "Zwirlo: Grieks Alfabet",
                           "Zwirlo: Grieks Alfabet \xA9 2026 de makers van Zwirlo",
                           "Zwirlo: Grieks Alfabet",
                           "Versie 16.91.2.2",
                           48,
                           24,
                           8,
                           zwirlo3Resources,
                           zwirlo3Resources_count};
    return v;
}

}  // namespace game
