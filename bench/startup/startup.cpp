// Launches each program several times with the start-up probe on, each time followed by a
// bare Qt window of the size the program's window had, and prints the median time to the
// first painted frame and the peak RSS, beside the bare window's and as a ratio to it.
//   bench_startup [runs]     (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Sample {
    double ms;
    long rssKb;
    int width, height;
};

bool runOnce(const std::string& path, const std::vector<std::string>& args,
             const std::string& workDir, Sample& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    std::string start = std::to_string(ts.tv_sec * 1000000000LL + ts.tv_nsec);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 2);
        close(fds[0]);
        if (chdir(workDir.c_str()) != 0) _exit(127);
        setenv("ZW_STARTUP_PROBE", start.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(path.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    std::string text;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    auto pos = text.find("zw-startup ");
    if (pos == std::string::npos) {
        std::fprintf(stderr, "%s reported nothing:\n%s\n", path.c_str(), text.c_str());
        return false;
    }
    long long us = 0;
    long rss = 0;
    int w = 0, h = 0;
    if (std::sscanf(text.c_str() + pos, "zw-startup painted_us=%lld rss_kb=%ld size=%dx%d", &us,
                    &rss, &w, &h) != 4) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), text.c_str() + pos);
        return false;
    }
    out = {us / 1000.0, rss, w, h};
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 9;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    char exe[4096];
    ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string self = len > 0 ? std::string(exe, static_cast<std::size_t>(len)) : argv[0];
    std::string dir = self.substr(0, self.rfind('/') + 1);
    std::string bin = dir;  // programs and benchmarks share the output folder
    char tmpl[] = "/tmp/zwbench.XXXXXX";
    std::string work = mkdtemp(tmpl);
    struct Prog {
        const char* name;
        std::string path;
        std::vector<double> ms, rss, bareMs, bareRss;
        int width = 0, height = 0;
    } progs[] = {{"zwirlo60", bin + "zwirlo60", {}, {}, {}, {}},
                 {"zwirlo3", bin + "zwirlo3", {}, {}, {}, {}}};
    const std::string bare = dir + "bench_bare_window";
    for (int r = 0; r < runs; ++r)
        for (auto& p : progs) {
            Sample s, b;
            if (!runOnce(p.path, {}, work, s)) return 1;
            if (!runOnce(bare, {std::to_string(s.width), std::to_string(s.height)}, work, b))
                return 1;
            p.width = s.width;
            p.height = s.height;
            p.ms.push_back(s.ms);
            p.rss.push_back(static_cast<double>(s.rssKb));
            p.bareMs.push_back(b.ms);
            p.bareRss.push_back(static_cast<double>(b.rssKb));
        }
    std::printf("%-10s %10s %10s %8s %10s %10s %10s\n", "program", "window", "painted ms",
                "bare ms", "x bare", "RSS MB", "+ bare MB");
    for (auto& p : progs) {
        double ms = median(p.ms), bareMs = median(p.bareMs);
        double rss = median(p.rss) / 1024, bareRss = median(p.bareRss) / 1024;
        std::string size = std::to_string(p.width) + "x" + std::to_string(p.height);
        std::printf("%-10s %10s %10.1f %8.1f %10.2f %10.1f %10.1f\n", p.name, size.c_str(), ms,
                    bareMs, ms / bareMs, rss, rss - bareRss);
    }
    std::printf(
        "targets: first frame within 2x of a bare window of the same size, RSS within bare + 15 MB "
        "(%d runs, median)\n",
        runs);
    std::string cmd = "rm -rf " + work;
    return std::system(cmd.c_str()) == 0 ? 0 : 1;
}
