// Whole-file reads, replace-on-commit writes, the data folder's lock and the tidying of what
// killed writers left, on POSIX.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

namespace plat {

std::function<int(const char* step)> fileStepHook;

namespace {

// Staged files and commit markers: "." + target + "." + pid + "." + n + one of these. The
// tag keeps the tidying away from other programs' temporary files.
constexpr const char kTempEnd[] = ".zw.tmp";
constexpr const char kMarkerEnd[] = ".zw.commit";
constexpr const char kMarkerHeader[] = "commit";

std::vector<std::string> dataFiles;  // set at start-up, before any write

int step(const char* name) { return fileStepHook ? fileStepHook(name) : 0; }

// A name within the folder itself, never a path that leads out of it; one line, so that it
// fits a marker's line.
bool plainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\n") == std::string::npos;
}

void syncFolder() {
    int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

// An open file's bytes, as readFile gives them.
int readOpen(int fd, std::string& bytes, std::size_t maxBytes) {
    bytes.clear();
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
    return err;
}

// A target that exists must be a file we may write, as it would be for a plain rewrite:
// a write-protected file stays protected, a folder is never replaced. A link is replaced,
// never written through, so for a link only the folder's rights count.
int checkTarget(const std::string& target) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISLNK(st.st_mode) && ::access(target.c_str(), W_OK) != 0 && errno != ENOENT)
        return errno;
    return 0;
}

// The process's umask, read without changing it: another thread may be making a file.
mode_t currentUmask() {
    std::string status;
    const int err = readFile("/proc/self/status", status, 65536);
    const auto at = status.find("\nUmask:");
    if (err == 0 && at != std::string::npos)
        return static_cast<mode_t>(std::strtoul(status.c_str() + at + 7, nullptr, 8)) & 0777;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

std::string stagedName(const std::string& target, const char* end) {
    static std::atomic<unsigned> counter{0};
    return "." + target + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + end;
}

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() < 12 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The writer's pid in the name of a staged file or marker of one of the data files, or 0 if
// the name is none of ours. The pid only groups a writer's files; it never tells whether the
// writer lives.
long stagedPid(const std::string& name, const std::string& end, std::string* target = nullptr) {
    if (!plainName(name) || name.size() <= end.size() + 1 || name[0] != '.' ||
        name.compare(name.size() - end.size(), end.size(), end) != 0)
        return 0;
    const std::string rest = name.substr(1, name.size() - end.size() - 1);  // target.pid.n
    const auto last = rest.rfind('.');
    if (last == std::string::npos || last == 0) return 0;
    const auto mid = rest.rfind('.', last - 1);
    if (mid == std::string::npos || mid == 0) return 0;
    const std::string pid = rest.substr(mid + 1, last - mid - 1);
    if (!allDigits(pid) || !allDigits(rest.substr(last + 1))) return 0;
    const std::string of = rest.substr(0, mid);
    if (std::find(dataFiles.begin(), dataFiles.end(), of) == dataFiles.end()) return 0;
    if (target) *target = of;
    return std::strtol(pid.c_str(), nullptr, 10);
}

// Makes one of our files (a staged file or a marker) and takes its lock, held for as long as
// its writer needs the file. EEXIST also when a tidying took it for abandoned before the
// lock was ours and removed it: the caller tries another name.
int createLocked(const std::string& name, int& fd) {
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_nlink > 0) return 0;
    ::close(fd);
    fd = -1;
    return EEXIST;
}

// Opens one of our files in the folder for the tidying and takes its lock: only a regular
// file the user owns, reached without a link, whose writer is gone (holds no lock on it).
// -1 for anything else, which the tidying leaves alone.
int takeAbandoned(int dir, const std::string& name) {
    struct stat st {
    }, now{};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
        return -1;
    const int fd =
        ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Removes a file that takeAbandoned gave, if its name still leads to it.
bool removeAbandoned(int dir, const std::string& name, int fd) {
    struct stat held {
    }, now{};
    return ::fstat(fd, &held) == 0 &&
           ::fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == now.st_dev && held.st_ino == now.st_ino &&
           ::unlinkat(dir, name.c_str(), 0) == 0;
}

// Finishes or undoes the commit that an abandoned marker (taken, so locked) describes: the
// renames are finished when the marker is whole and every staged file it lists is either
// there, the user's own, with its size, or already renamed; otherwise (the marker was cut
// short, so no rename had begun) the user's own staged files that it lists go. A line that
// is not one of the writer's staged files of a data file makes the marker not whole. False
// when the marker cannot be read or a rename fails: it then stays for the next try.
bool finishMarker(int dir, const std::string& marker, int fd, long pid) {
    static const std::string kEnd = "\nend\n";
    std::string text;
    if (readOpen(fd, text, 65536) != 0) return false;
    const std::string header = text.substr(0, text.find('\n'));
    // Earlier builds began a marker with the boot it was written in.
    bool whole = (header == kMarkerHeader || header.rfind("boot ", 0) == 0) &&
                 text.size() > header.size() + kEnd.size() &&
                 text.compare(text.size() - kEnd.size(), kEnd.size(), kEnd) == 0;
    std::vector<std::string> ours;
    std::vector<std::pair<std::string, std::string>> moves;
    std::size_t at = header.size() + 1;
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
        struct stat st {};
        if (::fstatat(dir, temp.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT) whole = false;
            continue;  // renamed already
        }
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            whole = false;  // not ours: left alone
            continue;
        }
        ours.push_back(temp);
        if (std::to_string(st.st_size) != size) whole = false;
        moves.emplace_back(temp, target);
    }
    if (whole) {
        for (const auto& [temp, target] : moves)
            if (::renameat(dir, temp.c_str(), dir, target.c_str()) != 0) return false;
    } else {
        for (const auto& temp : ours) ::unlinkat(dir, temp.c_str(), 0);
    }
    ::fsync(dir);
    ::unlinkat(dir, marker.c_str(), 0);
    return true;
}

// A commit marker of ours: open and locked from its making until the commit is done, or
// until it is left for the tidying to finish.
struct Marker {
    std::string name;
    int fd = -1;
    ~Marker() { keep(); }
    void remove() {
        if (fd >= 0) ::unlink(name.c_str());
        keep();
    }
    void keep() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// Writes and syncs the marker that lists a commit's staged files, so a kill during the
// renames that follow can be finished. The staged files' names are synced first, so the
// marker never names a file that a power cut could lose.
int writeMarker(const std::string& target, const std::string& text, Marker& marker) {
    if (int err = step("sync folder")) return err;
    syncFolder();
    int err = EEXIST;
    for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
        marker.name = stagedName(target, kMarkerEnd);
        err = step("create marker");
        if (!err) err = createLocked(marker.name, marker.fd);
    }
    if (err) return err;
    err = step("write marker");
    if (!err) err = writeAll(marker.fd, text.data(), text.size());
    if (!err) err = step("sync marker");
    if (!err && ::fsync(marker.fd) != 0 && errno != EINVAL) err = errno;
    if (!err) err = step("sync folder");
    if (!err) syncFolder();
    if (err) marker.remove();
    return err;
}

// The data folder's lock. This process's threads take turns on the mutex; its outermost
// hold takes the lock file's lock, which other copies wait for.
std::recursive_mutex lockMutex;
int lockDepth = 0;
int lockFd = -1;  // while held; -1 also while held where no lock file can be made

std::string lockFileName() { return ".zwirlo-" + std::to_string(::geteuid()) + ".lock"; }

// The user's own lock file, reached without a link and made when missing, mode 0600, so
// that no one else can hold its lock. 0 with fd -1: the folder lets no file be made (or has
// no room for one) and holds none, so no other copy can replace a file there either.
int openLockFile(const std::string& name, int& fd) {
    constexpr int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    fd = ::open(name.c_str(), flags | O_CREAT, 0600);
    if (fd < 0 && errno != ELOOP) {
        fd = ::open(name.c_str(), flags);
        if (fd < 0 && errno == ENOENT) return 0;
    }
    if (fd < 0) return errno == ELOOP ? EACCES : errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        fd = -1;
        return EACCES;
    }
    return 0;
}

// Takes an open lock file's lock, trying until the deadline. Where the file system has no
// such locks there is nothing to wait for.
int lockBefore(int fd, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return 0;
        if (std::chrono::steady_clock::now() >= deadline) return EAGAIN;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

void setDataFiles(std::vector<std::string> names) { dataFiles = std::move(names); }

int DataLock::acquire(int waitMs) {
    if (held_) return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    // Tried, not waited on with a deadline: the thread sanitizer does not see a timed lock
    // taken, and another thread of ours holds it only for a moment anyway.
    while (!lockMutex.try_lock()) {
        if (std::chrono::steady_clock::now() >= deadline) return EAGAIN;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int err = 0;
    const std::string name = lockFileName();
    while (lockDepth == 0) {
        int fd = -1;
        err = openLockFile(name, fd);
        if (!err && fd >= 0) err = lockBefore(fd, deadline);
        if (err || fd < 0) {
            if (fd >= 0) ::close(fd);
            break;
        }
        // A lock file removed or replaced while we waited orders nothing: the one that
        // stands there now counts.
        struct stat held {
        }, now{};
        if (::fstat(fd, &held) == 0 && ::lstat(name.c_str(), &now) == 0 &&
            held.st_dev == now.st_dev && held.st_ino == now.st_ino) {
            lockFd = fd;
            break;
        }
        ::close(fd);
        if (std::chrono::steady_clock::now() >= deadline) {
            err = EAGAIN;
            break;
        }
    }
    if (err) {
        lockMutex.unlock();
        return err;
    }
    ++lockDepth;
    held_ = true;
    return 0;
}

void DataLock::release() {
    if (!held_) return;
    held_ = false;
    if (--lockDepth == 0 && lockFd >= 0) {
        ::close(lockFd);
        lockFd = -1;
    }
    lockMutex.unlock();
}

StagedFile::~StagedFile() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
    if (fd_ >= 0) ::close(fd_);
}

int StagedFile::create(const std::string& target) {
    if (fd_ >= 0 || !temp_.empty()) return EBUSY;
    target_ = target;
    if (!plainName(target)) return EINVAL;
    if (int err = checkTarget(target)) return err;
    // Hidden and unique beside the target, so the rename stays within one file system.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = stagedName(target, kTempEnd);
        int fd = -1;
        int err = step("create");
        if (!err) err = createLocked(temp, fd);
        if (!err) {
            fd_ = fd;
            temp_ = temp;
            return 0;
        }
        if (err == EACCES || err == EPERM || err == EROFS) {
            // The folder lets us make no file, yet the file itself may be writable: it is then
            // rewritten in place, at commit, which is all a plain rewrite needs. A link is
            // never written through.
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
    // Only a regular file hands on its permission bits and owner, as a rewrite in place would
    // keep them; never its setuid, setgid or sticky bits. Anything else in the target's place
    // gives the mode a new file gets.
    struct stat st {};
    const bool regular = ::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    ::fchmod(fd_, regular ? (st.st_mode & 0777) : (0666 & ~currentUmask()));
    if (regular) {
        ownerUid_ = static_cast<int>(st.st_uid);
        ownerGid_ = static_cast<int>(st.st_gid);
    }
    int err = step("sync");
    if (!err && ::fsync(fd_) != 0 && errno != EINVAL) err = errno;
    closed_ = err == 0;
    return err;
}

// Given away only once in the target's place, so that until then the file is the user's own,
// which is all the tidying acts on. Best effort: who may not give a file away keeps it.
void StagedFile::handOver() {
    if (ownerUid_ < 0) return;
    if (::fchown(fd_, static_cast<uid_t>(ownerUid_), static_cast<gid_t>(ownerGid_)) != 0)
        (void)::fchown(fd_, static_cast<uid_t>(-1), static_cast<gid_t>(ownerGid_));
}

void StagedFile::keep() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    temp_.clear();
}

// The new bytes go over the old ones before the file is cut to their length, so a kill in
// between leaves the new bytes (with the old file's tail), never an emptied file.
int StagedFile::rewriteInPlace() {
    int err = step("rewrite");
    if (!err) err = writeAll(fd_, pending_.data(), pending_.size());
    if (!err) err = step("cut");
    if (!err && ::ftruncate(fd_, static_cast<off_t>(pending_.size())) != 0) err = errno;
    if (int e = syncAndClose(fd_); !err) err = e;
    fd_ = -1;
    return err;
}

// A commit of two or more renamed files runs: stage and sync every file; sync the folder;
// write and sync a marker listing them; sync the folder; rename each; sync the folder;
// remove the marker. A kill before the marker is whole leaves the old targets, a kill after
// leaves a marker that finishStagedWrites() completes, so the next load finds the old files
// or the new ones, all of them. The folder's lock is held throughout, so no other copy reads
// or replaces the files in between.
int commitStaged(const std::vector<StagedFile*>& files) {
    std::vector<StagedFile*> moved, inPlace;
    for (auto* f : files) {
        if (!f->closed_ || (f->temp_.empty() && !f->inPlace_)) return EBADF;
        (f->inPlace_ ? inPlace : moved).push_back(f);
    }
    DataLock lock;
    if (int err = lock.acquire()) return err;
    for (auto* f : files)
        if (int err = checkTarget(f->target_)) return err;
    if (!moved.empty()) finishStagedWrites();
    Marker marker;
    if (moved.size() > 1) {
        std::string text = std::string(kMarkerHeader) + "\n";
        for (auto* f : moved) {
            struct stat st {};
            if (::fstat(f->fd_, &st) != 0) return errno;
            text += f->temp_ + " " + std::to_string(st.st_size) + "\n";
        }
        text += "end\n";
        if (int err = writeMarker(moved[0]->target_, text, marker)) return err;
    }
    for (std::size_t i = 0; i < moved.size(); ++i) {
        StagedFile* f = moved[i];
        int err = step("rename");
        if (!err && ::rename(f->temp_.c_str(), f->target_.c_str()) != 0) err = errno;
        if (err) {
            if (i > 0) {
                // Part of the save is in place: the rest stays staged under the marker, for
                // the next tidying to finish once our locks on them are gone.
                for (std::size_t j = i; j < moved.size(); ++j) moved[j]->keep();
                marker.keep();
            } else {
                marker.remove();
            }
            return err;
        }
        f->temp_.clear();
        f->handOver();
        f->keep();
    }
    // Nothing can fail from here on: the new files are in place.
    if (!moved.empty()) {
        step("sync folder");
        syncFolder();
    }
    if (marker.fd >= 0) {
        step("remove marker");
        marker.remove();
    }
    for (auto* f : inPlace)
        if (int err = f->rewriteInPlace()) return err;
    return 0;
}

void finishStagedWrites() {
    DataLock lock;
    if (lock.acquire(0) != 0) return;  // another copy is at work: it, or the next load, tidies
    const int dir = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    std::vector<std::string> markers, temps;
    const int listing = ::dup(dir);
    if (DIR* d = listing < 0 ? nullptr : ::fdopendir(listing)) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (stagedPid(name, kMarkerEnd))
                markers.push_back(name);
            else if (stagedPid(name, kTempEnd))
                temps.push_back(name);
        }
        ::closedir(d);
    } else if (listing >= 0) {
        ::close(listing);
    }
    std::set<long> held;  // writers whose staged files must stay
    bool changed = false;
    for (const auto& m : markers) {
        const long pid = stagedPid(m, kMarkerEnd);
        // A marker whose writer lives, or that is not the user's own, stays with its files.
        const int fd = takeAbandoned(dir, m);
        if (fd >= 0 && finishMarker(dir, m, fd, pid))
            changed = true;
        else
            held.insert(pid);
        if (fd >= 0) ::close(fd);
    }
    for (const auto& t : temps) {
        if (held.count(stagedPid(t, kTempEnd))) continue;
        const int fd = takeAbandoned(dir, t);
        if (fd < 0) continue;
        if (removeAbandoned(dir, t, fd)) changed = true;
        ::close(fd);
    }
    if (changed) ::fsync(dir);
    ::close(dir);
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
    // Non-blocking, so a FIFO opens at once instead of waiting for a writer. A link is not
    // followed: what it points to may be anyone's.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ELOOP ? ENOENT : errno;
    const int err = readOpen(fd, bytes, maxBytes);
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
