#pragma once
// Files in the current folder: whole-file reads, and writes that go to a file beside the
// target and replace it only once complete, so a failed write never costs the data that
// was there. Failures are reported as errno values (0 = success); callers word them.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace plat {

// A file being written beside its target. Nothing touches the target until commit();
// an uncommitted file is removed when the object goes. The new file keeps an existing
// regular target's permission bits (never more) and, where we may set them, its owner and
// group; anything else in the target's place (a link, a device) is replaced by a plain file
// with the default mode. Where the folder lets no file be made, the target itself is
// opened instead, and it is rewritten in place at commit().
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
    int rewriteInPlace();
    std::string target_, temp_;
    std::string pending_;  // the bytes of an in-place rewrite, written at commit
    int fd_ = -1;
    bool closed_ = false, inPlace_ = false;
};

// Moves closed staged files over their targets, all or none: every target is checked
// first, and two or more files are listed in a commit marker, synced before the first
// rename and removed after the last, that lets finishStagedWrites() complete the renames
// after a kill. Files rewritten in place (see StagedFile) are written last, one by one.
int commitStaged(const std::vector<StagedFile*>& files);

// Tidies what killed writers left in `folder` (empty: the current one): an interrupted
// commit is finished when its marker is whole, else its files are removed, so the targets
// stay as before it; other staged files whose writer is gone are removed. Run at start-up,
// before a load, and by every commit.
void finishStagedWrites(const std::string& folder = {});

// Test seam: when set, runs before each step of a staged write or commit that changes the
// disk, with the step's name; a nonzero result fails that step, where it can fail, with
// that errno value.
extern std::function<int(const char* step)> fileStepHook;

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
