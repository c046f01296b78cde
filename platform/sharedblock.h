#pragma once
// A small named block of memory shared by the processes of one user, with the lifetime of
// a system object: it exists while some process holds a handle to it. POSIX shared memory
// outlives its users (even SIGKILLed ones), so liveness comes from locks instead: every
// handle holds a shared lock on the block, and a creator that can lock it exclusively knows
// nobody holds it any more and starts from a zeroed block.
#include <cstddef>
#include <string>

namespace plat {

using SharedBlockHandle = int;
constexpr SharedBlockHandle noSharedBlock = -1;

// The system name of a block: "/zwirlo-<uid>-b-" followed by the name with every byte
// outside [A-Za-z0-9.-] written as "_" and two hex digits; long names are cut and end in
// a hash of the whole name, so the result is always a valid object name.
std::string sharedBlockSystemName(const std::string& name);

// Creates the block, or opens it when another handle still holds it (existed = true).
// A fresh block is `size` zero bytes. noSharedBlock on failure (see lastSystemError()).
SharedBlockHandle createSharedBlock(const std::string& name, std::size_t size, bool& existed);
// Opens a block that some handle still holds; noSharedBlock when there is none.
SharedBlockHandle openSharedBlock(const std::string& name);
// Maps the first `size` bytes; nullptr on failure. A view outlives the handle it came from.
void* mapSharedBlock(SharedBlockHandle handle, std::size_t size);
void unmapSharedBlock(void* view, std::size_t size);
// Gives the handle up; the last handle to go removes the block.
void closeSharedBlock(SharedBlockHandle handle);

// Serialises creating, opening and closing the blocks of one name across processes, so a
// caller can make "read the block, then change it" one step. Re-entrant within a process.
// The wait is bounded: after lockWaitMs, or on a lock object of another user, it goes on
// without the lock and error() says why (ETIMEDOUT, EACCES, ...). The block functions
// below then still work, only unserialised.
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
