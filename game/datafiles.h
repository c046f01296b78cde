#pragma once
// The files the game keeps in its data folder (the current folder).
#include <string>
#include <vector>

namespace game {

inline constexpr char kHostFileName[] = "host.txt";  // the last connect address

// Every data file of both programs: the saved games and the top-10 lists of each card set,
// and the connect address. The tidying of killed writes acts on these names only.
std::vector<std::string> dataFileNames();

}  // namespace game
