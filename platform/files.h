#pragma once
// Files in the current folder: whole-file reads, and writes that go to a file beside the
// target and replace it only once complete, so a failed write never costs the data that
// was there. Failures are reported as errno values (0 = success); callers word them.
#include <cstddef>
#include <string>
#include <vector>

namespace plat {

// A file being written beside its target. Nothing touches the target until commit();
// an uncommitted file is removed when the object goes.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    int create(const std::string& target);
    int write(const void* data, std::size_t size);
    int write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    int close();  // flushed to disk when it returns 0
    const std::string& target() const { return target_; }

private:
    friend int commitStaged(const std::vector<StagedFile*>& files);
    std::string target_, temp_;
    int fd_ = -1;
    bool closed_ = false;
};

// Moves closed staged files over their targets. Every target is checked first, so a
// failure leaves all targets as they were as far as the system lets us know in advance.
int commitStaged(const std::vector<StagedFile*>& files);

// Writes a whole file beside `path` and moves it into place.
int writeFileReplacing(const std::string& path, const std::string& bytes);

// The one way file bytes come in: a regular file only (a FIFO, a device or a folder is
// EINVAL or EISDIR, without waiting for a writer), opened without blocking, and never more
// than `maxBytes` read. A longer file gives its first `maxBytes` and EFBIG, so a caller
// that rewrites what it read can refuse rather than cut. A missing file is ENOENT.
int readFile(const std::string& path, std::string& bytes, std::size_t maxBytes);

// Text bound for one line of a line-based file: CR and LF become blanks, so it can never
// break the file into more lines than entries.
std::string oneLine(std::string text);

// The name with the current folder in front, unless it is absolute already.
std::string absolutePath(const std::string& name);

// The runtime's wording of a failed file operation: "File access denied", "Disk full",
// "I/O error 21", and the code that goes with it (5, 101, or the errno value).
std::string ioErrorText(int err);
int ioErrorCode(int err);

// The system's own reason for an errno value ("Permission denied").
std::string systemErrorText(int err);

}  // namespace plat
