#pragma once
// Shared by the saved-game and hall-of-fame tests: file contents, an empty working folder, a
// folder of a test's own, running a step under a file-size limit (the way to make writes fail
// as root), and running a check as a user other than root.
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A fresh folder to work in, removed with all it holds when the object goes, so that the
// next test finds the folder it starts in as the one before found it.
class ScratchFolder {
public:
    ScratchFolder() : home_(std::filesystem::current_path()) {
        static int count = 0;
        path_ = home_ / ("scratch-" + std::to_string(++count));
        std::filesystem::create_directory(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(home_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }

private:
    std::filesystem::path home_, path_;
};

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

// Runs `check` as a user who may not read or write what is not theirs: as we are, or, as root
// (who may do either), in a child that has become "nobody" and owns the folder and what lies
// in it, so that a write there would go through. The check's result, or -1 when there is no
// one to become.
inline int unprivileged(const std::function<int()>& check) {
    namespace fs = std::filesystem;
    if (::geteuid() != 0) return check();
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) return -1;
    for (const auto& e : fs::directory_iterator(fs::current_path()))
        if (::chown(e.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return -1;
    if (::chown(".", nobody->pw_uid, nobody->pw_gid) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(255);
        ::_exit(check());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

}  // namespace savetest
