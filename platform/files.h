#pragma once
// Files in the data folder (the current folder): whole-file reads, and writes that go to a
// file beside the target and replace it only once complete, so a failed write never costs
// the data that was there. Failures are reported as errno values (0 = success); callers word
// them. What the folder holds is untrusted: a link is neither read nor written through.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace plat {

// The names of the program's own data files. The tidying (finishStagedWrites) finishes or
// removes staged files and commit markers of these names only, and only those the user owns.
void setDataFiles(std::vector<std::string> names);

// The data folder's lock, one for the folder's data, so that two copies sharing the folder
// never interleave a read-modify-write, a save or a load. It is a lock on a small file of the
// user's own beside the data files, made when missing. Code that holds it may take it again
// (the inner hold is free). Held until release() or the object goes; never to be held while
// a dialog is open.
class DataLock {
public:
    DataLock() = default;
    ~DataLock() { release(); }
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;

    // Waits up to `waitMs` for the lock: 0 when held, EAGAIN when another copy kept it, EACCES
    // when what stands at the lock file's name is not a plain file of the user's. A folder
    // that lets no file be made and holds no lock file yet gives 0 without a lock: nothing
    // can be replaced there, only rewritten in place.
    int acquire(int waitMs = 10000);
    void release();

private:
    bool held_ = false;
};

// A file being written beside its target, a plain name in the current folder. Nothing
// touches the target until commit(); an uncommitted file is removed when the object goes.
// The new file is private (0600) while it is written and, once closed, takes an existing
// regular target's permission bits (never more; where we may set it, its owner too, after
// the rename); anything else in the target's place (a link, a device) is replaced by a plain
// file with the default mode. Where the folder lets no file be made, the target itself is
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
    void handOver();  // the replaced file's owner, once in its place
    void keep();      // left for the tidying: closed, no longer removed with the object
    std::string target_, temp_;
    std::string pending_;  // the bytes of an in-place rewrite, written at commit
    // Open, and locked, until the file is in place: the lock tells the tidying its writer lives.
    int fd_ = -1;
    bool closed_ = false, inPlace_ = false;
    int ownerUid_ = -1, ownerGid_ = -1;  // of the replaced file; -1: not handed on
};

// Moves closed staged files over their targets, all or none, holding the DataLock: every
// target is checked first, and two or more files are listed in a commit marker, synced
// before the first rename and removed after the last, that lets finishStagedWrites()
// complete the renames after a kill. Files rewritten in place (see StagedFile) are written
// last, one by one: they are not all or nothing.
int commitStaged(const std::vector<StagedFile*>& files);

// Tidies what killed writers left in the current folder, holding the DataLock (and doing
// nothing when another copy holds it): an interrupted commit is finished when its marker is
// whole, else its files are removed, so the targets stay as before it; other staged files
// whose writer is gone are removed. A writer lives while it holds the lock on its file. Only
// plain names of the data files' staged files and markers are acted on, only those the user
// owns, all through one handle on the folder and never through a link; anything else is
// left alone. Run at start-up, before a load, and by every commit.
void finishStagedWrites();

// Test seam: when set, runs before each step of a staged write or commit that changes the
// disk, with the step's name; a nonzero result fails that step, where it can fail, with
// that errno value.
extern std::function<int(const char* step)> fileStepHook;

// Writes a whole file beside `path` and moves it into place.
int writeFileReplacing(const std::string& path, const std::string& bytes);

// The one way file bytes come in: a regular file only (a FIFO, a device or a folder is
// EINVAL or EISDIR, without waiting for a writer), opened without blocking and without
// following a link (a link reads as a missing file, ENOENT), and never more than `maxBytes`
// read. A longer file gives its first `maxBytes` and EFBIG, so a caller that rewrites what it
// read can refuse rather than cut. A missing file is ENOENT.
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
