#pragma once
// The single-instance component: counts the running copies of one executable in a small
// block shared between processes, named after the executable's path; a copy over the limit
// hides, brings the earlier copy forward and ends.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/exception.h"

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
    TsngInstanceControl();  // throws EInstanceControl when one exists already
    ~TsngInstanceControl();
    TsngInstanceControl(const TsngInstanceControl&) = delete;
    TsngInstanceControl& operator=(const TsngInstanceControl&) = delete;

    bool Enabled = true;
    std::uint32_t MaxInstances = 1;
    TMaxInstancesReachedEvent OnMaxInstancesReached;

    // Runs once the window description has been read, before the create handler.
    void Loaded();
    // The block's name for an executable path: every "\" and then every " " removed.
    static std::string MappingName(const std::string& exePath);

private:
    void HandleMaxInstancesReached(std::uint32_t LastInstanceHandle);
    struct Impl;
    std::unique_ptr<Impl> d;
    bool counted_ = true;
    std::string mappingName_;
};

}  // namespace instance
