// The names of the game's data files, in one list.
#include "game/datafiles.h"

#include "game/cardsets.h"
#include "game/hof.h"
#include "game/savefiles.h"

namespace game {

std::vector<std::string> dataFileNames() {
    std::vector<std::string> names{kHostFileName};
    for (const CardSetConfig* set : {&animalsSet(), &birdsSet(), &greekSet()}) {
        const int n = set->fileNumber;
        for (const std::string& name :
             {hof::clicksFileName(n), hof::timeFileName(n), savefiles::gameFileName(n),
              savefiles::moveLogFileName(n), savefiles::playersFileName(n)})
            names.push_back(name);
    }
    return names;
}

}  // namespace game
