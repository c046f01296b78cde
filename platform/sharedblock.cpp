// Named shared blocks on POSIX shared memory, kept alive by flock: see sharedblock.h.
#include "platform/sharedblock.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <chrono>
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
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                     (c >= '0' && c <= '9') || c == '.' || c == '-';
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
    // Per user, as the objects of one desktop session are.
    return "/zwirlo-" + std::to_string(geteuid()) + "-" + kind + "-" + esc;
}

// Another user's object of the same name is not ours to read or keep alive.
bool ownedByUs(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return false;
    if (st.st_uid != geteuid()) {
        errno = EACCES;
        return false;
    }
    return true;
}

// Opens the object and keeps it only when it is ours; -1 with errno set otherwise.
int openOwned(const std::string& sys, int flags, mode_t mode) {
    int fd = shm_open(sys.c_str(), flags, mode);
    if (fd < 0) return -1;
    if (!ownedByUs(fd)) {
        int e = errno;
        close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

int lockFile(int fd, int op) {
    int rc;
    do rc = flock(fd, op);
    while (rc != 0 && errno == EINTR);
    return rc;
}

// An exclusive lock, waited for at most waitMs: a holder that hangs (or is stopped) must
// not hold every later start with it. 0 or the error.
int lockExclusiveWithin(int fd, int waitMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    auto pause = std::chrono::milliseconds(1);
    while (lockFile(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) return errno;
        if (std::chrono::steady_clock::now() >= end) return ETIMEDOUT;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    return 0;
}

// Process-wide state; never destroyed, so it stays usable from static destructors.
struct Registry {
    std::recursive_mutex mutex;
    struct Held {
        int fd = -1;
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

}  // namespace

std::string sharedBlockSystemName(const std::string& name) { return objectName('b', name); }

SharedBlockLock::SharedBlockLock(const std::string& name) : name_(name) {
    Registry& r = registry();
    r.mutex.lock();
    Registry::Held& h = r.locks[name];
    if (h.depth == 0) {
        // Checked for its owner as the block is: another user's object is not ours to use.
        h.fd = openOwned(objectName('l', name), O_RDWR | O_CREAT, 0600);
        h.error = h.fd < 0 ? errno : lockExclusiveWithin(h.fd, lockWaitMs);
        if (h.fd >= 0 && h.error != 0) {
            close(h.fd);
            h.fd = -1;
        }
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
        if (h.fd >= 0) close(h.fd);  // closing drops the flock
        r.locks.erase(name_);
    }
    r.mutex.unlock();
}

SharedBlockHandle createSharedBlock(const std::string& name, std::size_t size, bool& existed) {
    existed = false;
    SharedBlockLock lock(name);
    const std::string sys = sharedBlockSystemName(name);
    int fd = openOwned(sys, O_RDWR | O_CREAT, 0600);
    if (fd < 0) return fail(errno);
    if (lockFile(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody holds it: whatever a dead process left there is not a live block.
        if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0 ||
            lockFile(fd, LOCK_SH) != 0) {
            int e = errno;
            close(fd);
            return fail(e);
        }
    } else if (errno == EWOULDBLOCK) {
        if (lockFile(fd, LOCK_SH | LOCK_NB) != 0) {
            int e = errno;
            close(fd);
            return fail(e);
        }
        existed = true;
    } else {
        int e = errno;
        close(fd);
        return fail(e);
    }
    registry().handleNames[fd] = name;
    if (!existed) registry().fresh.insert(fd);
    return fd;
}

SharedBlockHandle openSharedBlock(const std::string& name) {
    SharedBlockLock lock(name);
    const std::string sys = sharedBlockSystemName(name);
    int fd = openOwned(sys, O_RDWR, 0);
    if (fd < 0) return fail(errno);
    if (lockFile(fd, LOCK_EX | LOCK_NB) == 0) {
        // Left behind by processes that are gone: it no longer exists.
        shm_unlink(sys.c_str());
        close(fd);
        return fail(ENOENT);
    }
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
    // A block shorter than the view would fault on first touch; grow it with zeros.
    struct stat st {};
    if (fstat(handle, &st) != 0) {
        lastError = errno;
        return nullptr;
    }
    if (static_cast<std::size_t>(st.st_size) < size &&
        ftruncate(handle, static_cast<off_t>(size)) != 0) {
        lastError = errno;
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
    // The last holder removes the block. A refused upgrade may drop our shared lock,
    // which is fine: the handle goes now anyway.
    if (lockFile(handle, LOCK_EX | LOCK_NB) == 0) shm_unlink(sharedBlockSystemName(name).c_str());
    close(handle);
}

int lastSystemError() { return lastError; }

std::string systemErrorMessage(int code) {
    char buf[256];
    const char* text = strerror_r(code, buf, sizeof buf);
    return "System Error.  Code: " + std::to_string(code) + ".\n" + text;
}

}  // namespace plat
