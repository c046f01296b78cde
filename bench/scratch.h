#pragma once
// Benchmarks run the window as the tests do: offscreen, no sound device, dialogs scripted,
// and in a scratch folder of their own, since the game keeps its data files in the current
// folder.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/app.h"
#include "platform/dialogs.h"

namespace bench {

// Starts the application in a new scratch folder and returns that folder.
inline std::filesystem::path startInScratch(const std::string& name, int& argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const auto dir = std::filesystem::temp_directory_path() /
                     ("zw-bench-" + name + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
    std::filesystem::current_path(dir);
    if (!getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    plat::Application::initialize(argc, argv);
    plat::DialogScript::enable(true);
    return dir;
}

}  // namespace bench
