#pragma once
// Starting another program by its bare name, detached; looked for under exactly that name
// in the current folder, the program's folder, then the PATH. Returns false when it could
// not be started.
#include <string>
#include <vector>

namespace plat {

bool startProgram(const std::string& name);

// For tests: while on, a program that would be started is recorded by the path found
// instead. Main thread only.
class ShellRecorder {
public:
    static void enable(bool on);
    static std::vector<std::string>& started();
    static void clear();
};

}  // namespace plat
