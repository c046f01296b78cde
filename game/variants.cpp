// What the main block and every window do first with the chosen program.
#include "game/zwiunit1.h"

namespace game {

void InstallResources(const Variant& variant) {
    plat::registerProgramResources(variant.resources, variant.resourceCount);
}

}  // namespace game
