// The two programs: what the main block chooses between.
#include "game/zwiunit1.h"

extern const plat::ResourceEntry zwirlo60Resources[];
extern const std::size_t zwirlo60Resources_count;
extern const plat::ResourceEntry zwirlo3Resources[];
extern const std::size_t zwirlo3Resources_count;

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
                           10};
    return v;
}

const Variant& zwirlo3Variant() {
    static const Variant v{true,
                           "zwirlo3.form",
                           "Zwirlo: Grieks Alfabet",
                           "Zwirlo: Grieks Alfabet \xA9 2026 de makers van Zwirlo",
                           "Zwirlo: Grieks Alfabet",
                           "Versie 16.91.2.2",
                           48,
                           24,
                           8};
    return v;
}

void InstallResources(const Variant& variant) {
    if (variant.zwirlo3)
        plat::registerProgramResources(zwirlo3Resources, zwirlo3Resources_count);
    else
        plat::registerProgramResources(zwirlo60Resources, zwirlo60Resources_count);
}

}  // namespace game
