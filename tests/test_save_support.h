#pragma once
// Shared by the saved-game and hall-of-fame tests: file contents, an empty working folder,
// and running a step under a file-size limit (the way to make writes fail as root).
#include <sys/resource.h>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/files.h"

namespace savetest {

inline std::string fileText(const std::string& name) {
    std::string b;
    plat::readFile(name, b, std::size_t{1} << 30);
    return b;
}

inline void emptyFolder() {
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::current_path()))
        std::filesystem::remove_all(e.path());
}

inline void withFileSizeLimit(rlim_t bytes, const std::function<void()>& step) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &tiny);
    step();
    setrlimit(RLIMIT_FSIZE, &old);
}

}  // namespace savetest
