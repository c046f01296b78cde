// What the main block and every window do first with the chosen program: its resources,
// and the names of the data files it keeps.
#include "game/datafiles.h"
#include "game/zwiunit1.h"
#include "platform/files.h"

namespace game {

void InstallResources(const Variant& variant) {
    plat::registerProgramResources(variant.resources, variant.resourceCount);
    plat::setDataFiles(dataFileNames());
}

}  // namespace game
