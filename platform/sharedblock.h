#pragma once
// A small named block of memory shared by the processes of one user, with the lifetime of
// a system object: it exists while some process holds a handle to it. A file outlives its
// users (even SIGKILLed ones), so liveness comes from locks instead: every handle holds a
// shared lock on the block, and a creator that can lock it exclusively knows nobody holds
// it any more and starts from a zeroed block.
//
// The block and its start-up lock are files in a folder where only their user can create
// names: $XDG_RUNTIME_DIR when it is a folder of the user's own with mode 0700, otherwise
// zwirlo-<uid> of mode 0700 in $TMPDIR (or /tmp), made and checked here. Another user's
// object, or one of another kind (a link, a folder, a FIFO...), cannot be opened: the
// calls fail with foreignObject, which callers may treat unlike a failure to make one.
#include <cstddef>
#include <string>

namespace plat {

using SharedBlockHandle = int;
constexpr SharedBlockHandle noSharedBlock = -1;

// The error for an object that is not ours or not a plain file, or a folder for them that
// is not private (see above).
constexpr int foreignObject = -2;

// The file name of a block: "zwirlo-b-" followed by the name with every byte outside
// [A-Za-z0-9.-] written as "_" and two hex digits; long names are cut and end in a hash
// of the whole name, so the result is always one valid path part.
std::string sharedBlockSystemName(const std::string& name);
// Full paths of a block and of its start-up lock in the private folder; empty without one.
std::string sharedBlockPath(const std::string& name);
std::string sharedBlockLockPath(const std::string& name);

// Creates the block, or opens it when another handle still holds it (existed = true).
// A fresh block is `size` zero bytes. noSharedBlock on failure (see lastSystemError()).
SharedBlockHandle createSharedBlock(const std::string& name, std::size_t size, bool& existed);
// Opens a block that some handle still holds; noSharedBlock when there is none.
SharedBlockHandle openSharedBlock(const std::string& name);
// Maps the first `size` bytes; nullptr on failure. A view outlives the handle it came from.
void* mapSharedBlock(SharedBlockHandle handle, std::size_t size);
void unmapSharedBlock(void* view, std::size_t size);
// Gives the handle up; the last handle to go removes the block and its start-up lock.
void closeSharedBlock(SharedBlockHandle handle);
// Gives up every handle this process holds, as the system would when the process ends.
// Called by Application::exitProcess.
void closeAllSharedBlocks();

// Serialises creating, opening and closing the blocks of one name across processes, so a
// caller can make "read the block, then change it" one step. Re-entrant within a process.
// The wait is bounded: after lockWaitMs, or on a lock that cannot be made or opened, it
// goes on without the lock and error() says why (ETIMEDOUT, foreignObject, ...). The block
// functions then still work, only unserialised, and never remove anything.
//
// The outermost holder removes the lock file, while it still has it locked, when no block
// of that name is left (the last handle removed it, or none was made); a waiter that then
// gets the lock of the removed file notices (the name no longer leads to the file it
// locked) and locks the file now at the name instead.
class SharedBlockLock {
public:
    static constexpr int lockWaitMs = 3000;
    explicit SharedBlockLock(const std::string& name);
    ~SharedBlockLock();
    SharedBlockLock(const SharedBlockLock&) = delete;
    SharedBlockLock& operator=(const SharedBlockLock&) = delete;
    int error() const { return error_; }  // 0 when the lock is held
    void unlock();

private:
    std::string name_;
    bool held_ = false;
    int error_ = 0;
};

// The error of the last failed call of this thread, and its text as the error box shows it.
int lastSystemError();
std::string systemErrorMessage(int code);

}  // namespace plat
