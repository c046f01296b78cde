// Whole-file reads and replace-on-commit writes on POSIX.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>
#include <utility>

namespace plat {

std::function<int(const char* step)> fileStepHook;

namespace {

// Staged files and commit markers: "." + target + "." + pid + "." + n + one of these. The
// tag keeps the tidying away from other programs' temporary files.
constexpr const char kTempEnd[] = ".zw.tmp";
constexpr const char kMarkerEnd[] = ".zw.commit";

int step(const char* name) { return fileStepHook ? fileStepHook(name) : 0; }

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

std::string baseOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has succeeded
    ::close(fd);
}

int writeAll(int fd, const char* p, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int syncAndClose(int fd) {
    int err = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    if (::close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
    return err;
}

// A target that exists must be a file we may write, as it would be for a plain rewrite:
// a write-protected file stays protected, a folder is never replaced.
int checkTarget(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (::access(target.c_str(), W_OK) != 0 && errno != ENOENT) return errno;
    return 0;
}

// This process's staged files and markers still in use (names are unique per process).
std::mutex liveMutex;
std::set<std::string> liveNames;

void setLive(const std::string& path, bool live) {
    std::lock_guard<std::mutex> lock(liveMutex);
    if (live)
        liveNames.insert(baseOf(path));
    else
        liveNames.erase(baseOf(path));
}

std::string stagedName(const std::string& target, const char* end) {
    static std::atomic<unsigned> counter{0};
    return folderOf(target) + "." + baseOf(target) + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter++) + end;
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() < 12 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writer's pid in a staged file's or marker's name, or 0 if the name is none of ours.
long stagedPid(const std::string& name, const std::string& end, std::string* target = nullptr) {
    if (name.size() <= end.size() + 1 || name[0] != '.' ||
        name.compare(name.size() - end.size(), end.size(), end) != 0)
        return 0;
    const std::string rest = name.substr(1, name.size() - end.size() - 1);  // target.pid.n
    const auto last = rest.rfind('.');
    if (last == std::string::npos || last == 0) return 0;
    const auto mid = rest.rfind('.', last - 1);
    if (mid == std::string::npos || mid == 0) return 0;
    const std::string pid = rest.substr(mid + 1, last - mid - 1);
    if (!allDigits(pid) || !allDigits(rest.substr(last + 1))) return 0;
    if (target) *target = rest.substr(0, mid);
    return std::strtol(pid.c_str(), nullptr, 10);
}

bool writerGone(long pid, const std::string& name) {
    if (pid == ::getpid()) {
        std::lock_guard<std::mutex> lock(liveMutex);
        return liveNames.count(name) == 0;
    }
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Tells a marker left before a reboot, whose writer's pid may now be someone else's.
std::string bootId() {
    std::string id;
    readFile("/proc/sys/kernel/random/boot_id", id, 64);
    id.erase(std::remove(id.begin(), id.end(), '\n'), id.end());
    return id;
}

// Finishes or undoes the commit a dead writer's marker describes: the renames are finished
// when the marker is whole and every staged file it lists is either there with its size or
// already renamed; otherwise (the marker was cut short, so no rename had begun) the staged
// files go. False when a rename fails: the marker then stays for the next try.
bool finishMarker(const std::string& folder, const std::string& marker, long pid,
                  const std::string& text) {
    static const std::string kEnd = "\nend\n";
    bool whole = text.rfind("boot ", 0) == 0 && text.size() > kEnd.size() &&
                 text.compare(text.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
    std::vector<std::string> listed;
    std::vector<std::pair<std::string, std::string>> moves;
    std::size_t at = text.find('\n') + 1;
    const std::size_t stop = whole ? text.size() - kEnd.size() + 1 : text.size();
    while (at < stop) {
        std::size_t eol = text.find('\n', at);
        if (eol == std::string::npos || eol > stop) eol = stop;
        const std::string line = text.substr(at, eol - at);
        at = eol + 1;
        const auto blank = line.rfind(' ');
        std::string temp = blank == std::string::npos ? line : line.substr(0, blank), target;
        const std::string size = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (stagedPid(temp, kTempEnd, &target) != pid || !allDigits(size)) {
            whole = false;
            continue;
        }
        listed.push_back(temp);
        struct stat st {};
        if (::lstat((folder + temp).c_str(), &st) != 0) {
            if (errno != ENOENT) whole = false;
            continue;  // renamed already
        }
        if (!S_ISREG(st.st_mode) || std::to_string(st.st_size) != size) whole = false;
        moves.emplace_back(temp, target);
    }
    if (whole) {
        for (const auto& [temp, target] : moves)
            if (::rename((folder + temp).c_str(), (folder + target).c_str()) != 0) return false;
    } else {
        for (const auto& temp : listed) ::unlink((folder + temp).c_str());
    }
    syncFolder(folder);
    ::unlink((folder + marker).c_str());
    return true;
}

// Lists the staged files in a marker and syncs it, so a kill during the renames that follow
// can be finished. The staged files' names are synced first, so the marker never names a
// file that a power cut could lose.
int writeMarker(const std::vector<StagedFile*>& moved, const std::vector<std::string>& temps,
                std::string& marker) {
    std::string text = "boot " + bootId() + "\n";
    for (const auto& temp : temps) {
        struct stat st {};
        if (::stat(temp.c_str(), &st) != 0) return errno;
        if (temp.find('\n') != std::string::npos) return EINVAL;
        text += baseOf(temp) + " " + std::to_string(st.st_size) + "\n";
    }
    text += "end\n";
    const std::string folder = folderOf(moved[0]->target());
    if (int err = step("sync folder")) return err;
    syncFolder(folder);
    int fd = -1, err = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        marker = stagedName(moved[0]->target(), kMarkerEnd);
        setLive(marker, true);
        err = step("create marker");
        fd = err ? -1 : ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && !err) err = errno;
        if (fd < 0) setLive(marker, false);
        if (fd < 0 && err != EEXIST) return err;
    }
    if (fd < 0) return err;
    err = step("write marker");
    if (!err) err = writeAll(fd, text.data(), text.size());
    if (!err) err = step("sync marker");
    if (!err) {
        err = syncAndClose(fd);
        fd = -1;
    }
    if (!err) err = step("sync folder");
    if (!err) syncFolder(folder);
    if (err) {
        if (fd >= 0) ::close(fd);
        ::unlink(marker.c_str());
        setLive(marker, false);
        marker.clear();
    }
    return err;
}

}  // namespace

StagedFile::~StagedFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        setLive(temp_, false);
    }
}

int StagedFile::create(const std::string& target) {
    if (fd_ >= 0 || !temp_.empty()) return EBUSY;
    target_ = target;
    if (int err = checkTarget(target)) return err;
    // Hidden and unique beside the target, so the rename stays within one file system.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = stagedName(target, kTempEnd);
        setLive(temp, true);
        int err = step("create");
        int fd = err ? -1 : ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = temp;
            // Only a regular file hands on its permission bits and owner, as a rewrite in
            // place would keep them; never its setuid, setgid or sticky bits. Best effort:
            // who may not give a file away keeps it.
            struct stat st {};
            if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                if (::fchown(fd_, st.st_uid, st.st_gid) != 0) (void)::fchown(fd_, -1, st.st_gid);
                ::fchmod(fd_, st.st_mode & 0777);
            }
            return 0;
        }
        setLive(temp, false);
        if (!err) err = errno;
        if (err == EACCES || err == EPERM || err == EROFS) {
            // The folder lets us make no file, yet the file itself may be writable: it is then
            // truncated and rewritten in place, at commit, which is all a plain rewrite needs.
            // A link is never written through.
            int in =
                ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            struct stat st {};
            if (in >= 0 && ::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
                fd_ = in;
                inPlace_ = true;
                return 0;
            }
            if (in >= 0) ::close(in);
        }
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

int StagedFile::write(const void* data, std::size_t size) {
    if (fd_ < 0 || closed_) return EBADF;
    if (inPlace_) {
        pending_.append(static_cast<const char*>(data), size);
        return 0;
    }
    if (int err = step("write")) return err;
    return writeAll(fd_, static_cast<const char*>(data), size);
}

int StagedFile::close() {
    if (fd_ < 0 || closed_) return EBADF;
    if (inPlace_) {
        closed_ = true;  // written at commit
        return 0;
    }
    int err = step("sync");
    if (err) {
        ::close(fd_);
    } else {
        err = syncAndClose(fd_);
    }
    fd_ = -1;
    closed_ = err == 0;
    return err;
}

int StagedFile::rewriteInPlace() {
    int err = step("rewrite");
    if (!err && ::ftruncate(fd_, 0) != 0) err = errno;
    if (!err) err = writeAll(fd_, pending_.data(), pending_.size());
    if (int e = syncAndClose(fd_); !err) err = e;
    fd_ = -1;
    return err;
}

// A commit of two or more renamed files runs: stage and sync every file; sync the folder;
// write and sync a marker listing them; sync the folder; rename each; sync the folder;
// remove the marker. A kill before the marker is whole leaves the old targets, a kill after
// leaves a marker that finishStagedWrites() completes, so the next load finds the old files
// or the new ones, all of them.
int commitStaged(const std::vector<StagedFile*>& files) {
    std::vector<StagedFile*> moved, inPlace;
    for (auto* f : files) {
        if (!f->closed_ || (f->temp_.empty() && !f->inPlace_)) return EBADF;
        if (int err = checkTarget(f->target_)) return err;
        (f->inPlace_ ? inPlace : moved).push_back(f);
    }
    std::vector<std::string> temps;
    for (auto* f : moved) {
        if (folderOf(f->temp_) != folderOf(moved[0]->temp_)) return EXDEV;
        temps.push_back(f->temp_);
    }
    std::string marker;
    if (!moved.empty()) finishStagedWrites(folderOf(moved[0]->target_));
    if (moved.size() > 1)
        if (int err = writeMarker(moved, temps, marker)) return err;
    for (std::size_t i = 0; i < moved.size(); ++i) {
        StagedFile* f = moved[i];
        int err = step("rename");
        if (!err && ::rename(f->temp_.c_str(), f->target_.c_str()) != 0) err = errno;
        if (err) {
            if (i > 0) {
                // Part of the save is in place: the rest stays staged under the marker, for
                // the next tidying to finish.
                for (std::size_t j = i; j < moved.size(); ++j) {
                    setLive(moved[j]->temp_, false);
                    moved[j]->temp_.clear();
                }
                setLive(marker, false);
            } else if (!marker.empty()) {
                ::unlink(marker.c_str());
                setLive(marker, false);
            }
            return err;
        }
        setLive(f->temp_, false);
        f->temp_.clear();
    }
    // Nothing can fail from here on: the new files are in place.
    if (!moved.empty()) {
        step("sync folder");
        syncFolder(folderOf(moved[0]->target_));
    }
    if (!marker.empty()) {
        step("remove marker");
        ::unlink(marker.c_str());
        setLive(marker, false);
    }
    for (auto* f : inPlace)
        if (int err = f->rewriteInPlace()) return err;
    return 0;
}

void finishStagedWrites(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    std::vector<std::string> markers, temps;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (stagedPid(name, kMarkerEnd))
            markers.push_back(name);
        else if (stagedPid(name, kTempEnd))
            temps.push_back(name);
    }
    ::closedir(dir);
    const std::string boot = bootId();
    std::set<long> held;  // writers whose staged files must stay
    bool changed = false;
    for (const auto& m : markers) {
        const long pid = stagedPid(m, kMarkerEnd);
        std::string text;
        const int err = readFile(folder + m, text, 65536);
        if (err == ENOENT) continue;
        const std::string written = text.substr(0, text.find('\n'));
        const bool earlierBoot = !boot.empty() && written.size() > 5 &&
                                 written.rfind("boot ", 0) == 0 && written.substr(5) != boot;
        if (err || (!earlierBoot && !writerGone(pid, m)) || !finishMarker(folder, m, pid, text)) {
            held.insert(pid);
            continue;
        }
        changed = true;
    }
    for (const auto& t : temps) {
        const long pid = stagedPid(t, kTempEnd);
        if (held.count(pid) || !writerGone(pid, t)) continue;
        if (::unlink((folder + t).c_str()) == 0) changed = true;
    }
    if (changed) syncFolder(folder);
}

int writeFileReplacing(const std::string& path, const std::string& bytes) {
    StagedFile f;
    if (int err = f.create(path)) return err;
    if (int err = f.write(bytes)) return err;
    if (int err = f.close()) return err;
    return commitStaged({&f});
}

int readFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
    // Non-blocking, so a FIFO opens at once instead of waiting for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    else if (!S_ISREG(st.st_mode))
        err = EINVAL;
    char buf[65536];
    while (err == 0 && bytes.size() < maxBytes) {
        std::size_t want = std::min(sizeof buf, maxBytes - bytes.size());
        ssize_t n = ::read(fd, buf, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    // A regular file tells its size; reading one byte more to find out is not needed.
    if (err == 0 && bytes.size() == maxBytes && ::fstat(fd, &st) == 0 &&
        static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        err = EFBIG;
    ::close(fd);
    return err;
}

std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string absolutePath(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf)) return name;
    std::string dir = buf;
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir + name;
}

std::string ioErrorText(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS: return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "Disk full";
    default: return "I/O error " + std::to_string(err);
    }
}

int ioErrorCode(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 101;
    default: return err;
    }
}

std::string systemErrorText(int err) { return std::strerror(err); }

}  // namespace plat
