// Whole-file reads and replace-on-commit writes on POSIX.
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace plat {
namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

std::string baseOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void syncFolder(const std::string& path) {
    std::string folder = folderOf(path);
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has succeeded
    ::close(fd);
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

}  // namespace

StagedFile::~StagedFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

int StagedFile::create(const std::string& target) {
    if (fd_ >= 0 || !temp_.empty()) return EBUSY;
    target_ = target;
    if (int err = checkTarget(target)) return err;
    static std::atomic<unsigned> counter{0};
    // Hidden and unique beside the target, so the rename stays within one file system.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = folderOf(target) + "." + baseOf(target) + "." +
                           std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = temp;
            struct stat st {};
            if (::stat(target.c_str(), &st) == 0) ::fchmod(fd_, st.st_mode & 07777);
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int StagedFile::write(const void* data, std::size_t size) {
    if (fd_ < 0) return EBADF;
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

int StagedFile::close() {
    if (fd_ < 0) return EBADF;
    int err = ::fsync(fd_) != 0 && errno != EINVAL ? errno : 0;
    if (::close(fd_) != 0 && err == 0 && errno != EINTR) err = errno;
    fd_ = -1;
    closed_ = err == 0;
    return err;
}

int commitStaged(const std::vector<StagedFile*>& files) {
    for (auto* f : files) {
        if (!f->closed_ || f->temp_.empty()) return EBADF;
        if (int err = checkTarget(f->target_)) return err;
    }
    for (auto* f : files) {
        if (::rename(f->temp_.c_str(), f->target_.c_str()) != 0) return errno;
        f->temp_.clear();
        syncFolder(f->target_);
    }
    return 0;
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
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
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
    case EROFS:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(err);
    }
}

int ioErrorCode(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    default:
        return err;
    }
}

std::string systemErrorText(int err) { return std::strerror(err); }

}  // namespace plat
