#pragma once
// The hand-over of one received line to the main thread. Each side has a class of its
// own by the same name; both pass the line to the window's dispatcher.
#include <string>

namespace network {

class LineNotify {
public:
    std::string receivedLine;
    // Queues a copy of this item: the network thread goes on at once, and the line is
    // dispatched on the main thread after every line queued before it.
    void Notify() const;

protected:
    void DoNotify() const;
};

}  // namespace network

namespace ZwiUnit1 {
class TTCPMemoAddNotify : public network::LineNotify {};
}  // namespace ZwiUnit1

namespace OntvangUnit {
class TTCPMemoAddNotify : public network::LineNotify {};
}  // namespace OntvangUnit
