// Named shared blocks on files in a private folder, kept alive by flock: see sharedblock.h.
#include "platform/sharedblock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {
namespace {

thread_local int lastError = 0;

int fail(int code) {
    lastError = code;
    return noSharedBlock;
}

// Escapes bytes so distinct names never meet; the object name must stay one path part.
std::string objectName(char kind, const std::string& name) {
    static const char hex[] = "0123456789ABCDEF";
    std::string esc;
    for (unsigned char c : name) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '-';
        if (plain) {
            esc += static_cast<char>(c);
        } else {
            esc += '_';
            esc += hex[c >> 4];
            esc += hex[c & 15];
        }
    }
    // "_h" never comes out of the escaping above, so a cut name cannot meet a short one.
    constexpr std::size_t maxEscaped = 180;
    if (esc.size() > maxEscaped) {
        std::uint64_t h = 14695981039346656037ull;  // FNV-1a
        for (unsigned char c : name) h = (h ^ c) * 1099511628211ull;
        char tail[20];
        std::snprintf(tail, sizeof tail, "_h%016llx", static_cast<unsigned long long>(h));
        esc = esc.substr(0, maxEscaped) + tail;
    }
    return std::string("zwirlo-") + kind + "-" + esc;
}

// A folder nobody but us can create names in.
bool isPrivateFolder(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 0777) == 0700;
}

int openFolder(const std::string& path) {
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The folder the objects live in, open; -1 with errno set (foreignObject when the
// per-user folder is there but is not ours, not a folder or not private).
int privateFolder(std::string* path = nullptr) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        int fd = openFolder(runtime);
        if (fd >= 0 && isPrivateFolder(fd)) {
            if (path) *path = runtime;
            return fd;
        }
        if (fd >= 0) close(fd);
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && tmp[0] == '/' ? tmp : "/tmp";
    folder += "/zwirlo-" + std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return -1;
    int fd = openFolder(folder);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR) errno = foreignObject;
        return -1;
    }
    // The umask takes bits off the mode mkdir was given. A folder of ours that only we may
    // enter is private whatever it did to our own bits: give them back.
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
        (st.st_mode & 077) == 0)
        fchmod(fd, 0700);
    if (!isPrivateFolder(fd)) {
        close(fd);
        errno = foreignObject;
        return -1;
    }
    if (path) *path = folder;
    return fd;
}

// An open plain file of ours at the name; anything else that is there is foreign.
bool isOurFile(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid();
}

// Opens (or makes, with O_CREAT in flags) the object in the private folder, never through
// a link; -1 with errno set otherwise. *folder gets the folder, open, when asked for.
int openObject(const std::string& file, int flags, int* folder = nullptr) {
    int dir = privateFolder();
    if (dir < 0) return -1;
    // Non-blocking: a FIFO planted at the name must not hold the open.
    int fd = openat(dir, file.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    int e = errno;
    if (fd < 0) {
        struct stat st {};
        if (e != ENOENT && fstatat(dir, file.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            !(S_ISREG(st.st_mode) && st.st_uid == geteuid()))
            e = foreignObject;
    } else if (!isOurFile(fd)) {
        close(fd);
        fd = -1;
        e = foreignObject;
    } else if (flags & O_CREAT) {
        // Whatever the umask left of 0600, the other copies must be able to open it.
        fchmod(fd, 0600);
    }
    if (fd >= 0 && folder)
        *folder = dir;
    else
        close(dir);
    errno = e;
    return fd;
}

// The name still leads to the file open at fd: nobody removed or replaced it.
bool stillNamed(int dir, const std::string& file, int fd) {
    struct stat a {
    }, b{};
    return fstat(fd, &a) == 0 && fstatat(dir, file.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int lockFile(int fd, int op) {
    int rc;
    do rc = flock(fd, op);
    while (rc != 0 && errno == EINTR);
    return rc;
}

// An exclusive lock on the file at the name, waited for at most waitMs: a holder that
// hangs (or is stopped) must not hold every later start with it. A file that was removed
// while we waited for it is given up for the one now at the name. The locked file, or -1
// with *error set.
int lockNamedWithin(const std::string& file, int waitMs, int* dirOut, int* error) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        int dir = -1;
        int fd = openObject(file, O_RDWR | O_CREAT, &dir);
        if (fd < 0) {
            *error = errno;
            return -1;
        }
        int rc;
        while ((rc = lockFile(fd, LOCK_EX | LOCK_NB)) != 0) {
            if (errno != EWOULDBLOCK) break;
            if (std::chrono::steady_clock::now() >= end) {
                errno = ETIMEDOUT;
                break;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
        if (rc == 0 && stillNamed(dir, file, fd)) {
            *dirOut = dir;
            return fd;
        }
        const int e = errno;
        close(fd);
        close(dir);
        if (rc != 0) {
            *error = e;
            return -1;
        }
        // The last holder removed it as we got it: lock the one at the name now.
    }
}

// Process-wide state; never destroyed, so it stays usable from static destructors.
struct Registry {
    std::recursive_mutex mutex;
    struct Held {
        int fd = -1;
        int dir = -1;   // the folder the lock file is in, while held
        int error = 0;  // why the outermost holder did not get the lock
        int depth = 0;
    };
    std::map<std::string, Held> locks;       // start-up lock per block name
    std::map<int, std::string> handleNames;  // open handle -> block name
    std::set<int> fresh;                     // handles that created their block
};
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

// Real blocks for the first `size` bytes (zeros where the file was shorter); an error code.
int giveRoom(int fd, std::size_t size) {
    int e;
    do e = posix_fallocate(fd, 0, static_cast<off_t>(size));
    while (e == EINTR);
    return e;
}

// Removes the file at the name when it is still the one open at fd.
void removeNamed(int dir, const std::string& file, int fd) {
    if (dir >= 0 && stillNamed(dir, file, fd)) unlinkat(dir, file.c_str(), 0);
}

}  // namespace

std::string sharedBlockSystemName(const std::string& name) { return objectName('b', name); }

std::string sharedBlockPath(const std::string& name) {
    std::string folder;
    int dir = privateFolder(&folder);
    if (dir < 0) return {};
    close(dir);
    return folder + "/" + objectName('b', name);
}

std::string sharedBlockLockPath(const std::string& name) {
    std::string block = sharedBlockPath(name);
    if (block.empty()) return {};
    return block.substr(0, block.rfind('/') + 1) + objectName('l', name);
}

SharedBlockLock::SharedBlockLock(const std::string& name) : name_(name) {
    Registry& r = registry();
    r.mutex.lock();
    Registry::Held& h = r.locks[name];
    if (h.depth == 0) {
        h.error = 0;
        h.fd = lockNamedWithin(objectName('l', name), lockWaitMs, &h.dir, &h.error);
    }
    // Nested holders share the outermost one's result and never wait again.
    error_ = h.error;
    ++h.depth;
    held_ = true;
}

SharedBlockLock::~SharedBlockLock() { unlock(); }

void SharedBlockLock::unlock() {
    if (!held_) return;
    held_ = false;
    Registry& r = registry();
    Registry::Held& h = r.locks[name_];
    if (--h.depth == 0) {
        if (h.fd >= 0) {
            // No block, no lock: it goes while still locked, so a waiter that gets it next
            // sees it is gone. A block is only ever made under this lock.
            struct stat st {};
            if (fstatat(h.dir, objectName('b', name_).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 &&
                errno == ENOENT)
                removeNamed(h.dir, objectName('l', name_), h.fd);
            close(h.fd);  // closing drops the flock
            close(h.dir);
        }
        r.locks.erase(name_);
    }
    r.mutex.unlock();
}

SharedBlockHandle createSharedBlock(const std::string& name, std::size_t size, bool& existed) {
    existed = false;
    SharedBlockLock lock(name);
    const std::string file = sharedBlockSystemName(name);
    int dir = -1;
    int fd = openObject(file, O_RDWR | O_CREAT, &dir);
    if (fd < 0) return fail(errno);
    int e = 0;
    if (lockFile(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody holds it: whatever a dead process left there is not a live block. Its
        // bytes get real room now: a sparse page that a full file system cannot supply
        // would fault at the first write through the mapping.
        e = ftruncate(fd, 0) == 0 ? giveRoom(fd, size) : errno;
        if (e == 0 && lockFile(fd, LOCK_SH) != 0) e = errno;
        // A block that cannot be made leaves nothing behind.
        if (e != 0 && lock.error() == 0) removeNamed(dir, file, fd);
    } else if (errno != EWOULDBLOCK || lockFile(fd, LOCK_SH | LOCK_NB) != 0) {
        e = errno;
    } else {
        existed = true;
    }
    close(dir);
    if (e != 0) {
        close(fd);
        return fail(e);
    }
    registry().handleNames[fd] = name;
    if (!existed) registry().fresh.insert(fd);
    return fd;
}

SharedBlockHandle openSharedBlock(const std::string& name) {
    SharedBlockLock lock(name);
    const std::string file = sharedBlockSystemName(name);
    int dir = -1;
    int fd = openObject(file, O_RDWR, &dir);
    if (fd < 0) return fail(errno);
    if (lockFile(fd, LOCK_EX | LOCK_NB) == 0) {
        // Left behind by processes that are gone: it no longer exists.
        if (lock.error() == 0) removeNamed(dir, file, fd);
        close(fd);
        close(dir);
        return fail(ENOENT);
    }
    close(dir);
    if (errno != EWOULDBLOCK || lockFile(fd, LOCK_SH | LOCK_NB) != 0) {
        int e = errno;
        close(fd);
        return fail(e);
    }
    registry().handleNames[fd] = name;
    return fd;
}

void* mapSharedBlock(SharedBlockHandle handle, std::size_t size) {
    if (handle < 0 || size == 0) {
        lastError = EINVAL;
        return nullptr;
    }
    // A block shorter than the view, or with holes in it, would fault on first touch.
    if (int e = giveRoom(handle, size)) {
        lastError = e;
        return nullptr;
    }
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, handle, 0);
    if (view == MAP_FAILED) {
        lastError = errno;
        return nullptr;
    }
    // For the tests of simultaneous starts: the creator of a block writes it only a while
    // later, so a copy that looks at it in between and is not held off by the callers'
    // lock finds it empty.
    const char* ms = std::getenv("ZW_TEST_FRESH_MAP_DELAY_MS");
    if (ms && registry().fresh.count(handle))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(ms)));
    return view;
}

void unmapSharedBlock(void* view, std::size_t size) {
    if (view) munmap(view, size);
}

void closeSharedBlock(SharedBlockHandle handle) {
    if (handle < 0) return;
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> guard(r.mutex);
    auto it = r.handleNames.find(handle);
    if (it == r.handleNames.end()) return;  // not ours, or closed already
    const std::string name = it->second;
    r.handleNames.erase(it);
    r.fresh.erase(handle);
    SharedBlockLock lock(name);
    // The last holder removes the block while it holds the lock (the lock then goes with
    // it): a copy starting now waits for that and makes both afresh. Without the lock
    // nothing is removed; the next start reuses what is left, as after a kill. A refused
    // upgrade may drop our shared lock, which is fine: the handle goes now anyway.
    if (lock.error() == 0 && lockFile(handle, LOCK_EX | LOCK_NB) == 0)
        removeNamed(r.locks[name].dir, sharedBlockSystemName(name), handle);
    close(handle);
}

void closeAllSharedBlocks() {
    Registry& r = registry();
    std::lock_guard<std::recursive_mutex> guard(r.mutex);
    while (!r.handleNames.empty()) closeSharedBlock(r.handleNames.begin()->first);
}

int lastSystemError() { return lastError; }

std::string systemErrorMessage(int code) {
    char buf[256];
    const char* text = strerror_r(code, buf, sizeof buf);
    return "System Error.  Code: " + std::to_string(code) + ".\n" + text;
}

}  // namespace plat
