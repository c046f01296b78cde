#pragma once
// The single-instance component: counts the running copies of one executable in a small
// block shared between processes, named after the executable's path; a copy over the limit
// hides, brings the earlier copy forward and ends.
//
// The block is 8 bytes, both fields little-endian unsigned 32-bit: offset 0 the handle
// through which the copy registered last can be brought forward, offset 4 the count.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/exception.h"

namespace plat {
class Form;
}

namespace instance {

class EInstanceControl : public plat::Exception {
public:
    using plat::Exception::Exception;
};

class TsngInstanceControl;
using TMaxInstancesReachedEvent =
    std::function<void(TsngInstanceControl* Sender, const std::uint32_t LastInstanceHandle)>;

class TsngInstanceControl {
public:
    // Throws EInstanceControl when one exists already. The owner is the form another copy
    // brings forward while this copy is counted (none: the program's main window).
    explicit TsngInstanceControl(plat::Form* AOwner = nullptr);
    ~TsngInstanceControl();  // Destroy
    TsngInstanceControl(const TsngInstanceControl&) = delete;
    TsngInstanceControl& operator=(const TsngInstanceControl&) = delete;

    bool Enabled = true;
    std::uint32_t MaxInstances = 1;
    TMaxInstancesReachedEvent OnMaxInstancesReached;

    // Runs once the window description has been read, before the create handler.
    void Loaded();
    // The block's name for an executable path: every "\" and then every " " removed.
    static std::string MappingName(const std::string& exePath);

    static constexpr std::size_t BlockSize = 8;

private:
    friend void sngInstanceControlFinal();
    void HandleMaxInstancesReached(std::uint32_t LastInstanceHandle);
    void Destroy();
    struct Impl;
    std::unique_ptr<Impl> d;
    bool counted_ = true;
    std::string mappingName_;
};

// Unit finalization: a component still alive at the end of a normal process exit gives
// up its place in the count. Runs by itself at exit; callable earlier.
void sngInstanceControlFinal();

}  // namespace instance
