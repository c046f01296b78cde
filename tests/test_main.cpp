// Test entry: real widgets on the offscreen platform, scripted dialogs, recorded sounds,
// and a scratch working folder per test program (the game's data files live there).
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/sound.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!getenv("XDG_RUNTIME_DIR")) {
        std::string runtime = "/tmp/zwirlo-runtime-" + std::to_string(getuid());
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    testing::InitGoogleTest(&argc, argv);
    // Each test program works in a folder of its own, so parallel runs never share files.
    auto dir = std::filesystem::temp_directory_path() / ("zwtest-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    plat::Application::initialize(argc, argv);
    plat::DialogScript::enable(true);
    plat::SoundRecorder::enable(true);
    int rc = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir, ec);
    return rc;
}
