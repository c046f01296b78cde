// Placeholder until the shared block lands: a guard that never limits.
#include "instance/sngInstanceControl.h"

namespace instance {

struct TsngInstanceControl::Impl {};

TsngInstanceControl::TsngInstanceControl() {}
TsngInstanceControl::~TsngInstanceControl() = default;
void TsngInstanceControl::Loaded() {}
void TsngInstanceControl::HandleMaxInstancesReached(std::uint32_t) {}
std::string TsngInstanceControl::MappingName(const std::string& exePath) {
    std::string out;
    for (char c : exePath)
        if (c != '\\') out += c;
    std::string out2;
    for (char c : out)
        if (c != ' ') out2 += c;
    return out2;
}

}  // namespace instance
