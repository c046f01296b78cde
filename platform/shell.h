#pragma once
// Starting another program by its bare name, detached; looked for in the current folder,
// the program's folder, then the PATH. Returns false when it could not be started.
#include <string>

namespace plat {

bool startProgram(const std::string& name);

}  // namespace plat
