// Starting another program by name, detached in a session of its own.
#include "platform/shell.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/app.h"

extern char** environ;

namespace plat {
namespace {

bool recording = false;
std::vector<std::string> recorded;

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string findProgram(const std::string& file) {
    if (file.find('/') != std::string::npos) return isExecutableFile(file) ? file : std::string();
    std::vector<std::string> dirs{"./", exeDir()};
    if (const char* path = std::getenv("PATH")) {
        std::string p = path;
        std::size_t start = 0;
        while (start <= p.size()) {
            std::size_t end = p.find(':', start);
            if (end == std::string::npos) end = p.size();
            // An empty PATH entry means the current folder.
            dirs.push_back(end > start ? p.substr(start, end - start) + "/" : std::string("./"));
            start = end + 1;
        }
    }
    for (const auto& dir : dirs)
        if (isExecutableFile(dir + file)) return dir + file;
    return {};
}

}  // namespace

bool startProgram(const std::string& name) {
    try {
        if (name.empty() || name.find('\0') != std::string::npos) return false;
        // Only the name asked for: the same name without ".exe" is often an unrelated
        // system program here.
        std::string path = findProgram(name);
        if (path.empty()) return false;
        if (recording) {
            recorded.push_back(path);
            return true;
        }

        posix_spawnattr_t attr;
        if (posix_spawnattr_init(&attr) != 0) return false;
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
        std::vector<char> arg0(path.begin(), path.end());
        arg0.push_back('\0');
        char* argv[] = {arg0.data(), nullptr};
        pid_t pid = 0;
        int rc = posix_spawn(&pid, path.c_str(), nullptr, &attr, argv, environ);
        posix_spawnattr_destroy(&attr);
        if (rc != 0) return false;
        // Reap it whenever it ends, so no zombie stays behind.
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return true;
    } catch (...) {
        return false;
    }
}

void ShellRecorder::enable(bool on) { recording = on; }

std::vector<std::string>& ShellRecorder::started() { return recorded; }

void ShellRecorder::clear() { recorded.clear(); }

}  // namespace plat
