// The queue of lines for the peer, and the unit variables that carry it.
#include "network/outbox.h"

#include <algorithm>

#include "game/zwiunit1.h"
#include "network/messages.h"

namespace network {

namespace {

bool isMove(const std::string& line) { return classify(line) == LineKind::Click; }

}  // namespace

void Outbox::post(const std::string& line, std::atomic<bool>& pending) {
    {
        std::lock_guard<std::mutex> g(m_);
        if (peers_ == 0 && isMove(line)) {
            lines_.clear();
            pending = false;
            return;
        }
        // A new board makes the clicks of the old one meaningless to the peer. A line
        // being written right now stays out of reach: sendOne holds its own copy.
        if (classify(line) == LineKind::Board) lines_.clear();
        lines_.push_back(Line{nextId_++, line});
        pending = true;
    }
    if (onPosted) onPosted();
}

void Outbox::attach() {
    std::lock_guard<std::mutex> g(m_);
    ++peers_;
}

void Outbox::detach(std::atomic<bool>& pending) {
    std::lock_guard<std::mutex> g(m_);
    if (peers_ > 0) --peers_;
    if (peers_ > 0 ||
        std::none_of(lines_.begin(), lines_.end(), [](const Line& l) { return isMove(l.text); }))
        return;
    lines_.clear();
    pending = false;
}

void Outbox::clear(std::atomic<bool>& pending) {
    std::lock_guard<std::mutex> g(m_);
    lines_.clear();
    pending = false;
}

bool Outbox::sendOne(const std::function<void(const std::string&)>& write,
                     std::atomic<bool>& pending) {
    Line current;
    {
        std::lock_guard<std::mutex> g(m_);
        if (lines_.empty()) {
            pending = false;
            return false;
        }
        current = lines_.front();
    }
    write(current.text);  // may throw: the line stays queued
    std::lock_guard<std::mutex> g(m_);
    // Cleared or dropped by a new board while it was being written: nothing to remove.
    if (!lines_.empty() && lines_.front().id == current.id) lines_.pop_front();
    pending = !lines_.empty();
    return true;
}

std::size_t Outbox::size() const {
    std::lock_guard<std::mutex> g(m_);
    return lines_.size();
}

std::string Outbox::front() const {
    std::lock_guard<std::mutex> g(m_);
    return lines_.empty() ? std::string() : lines_.front().text;
}

}  // namespace network

namespace ZwiUnit1 {

network::Outbox outbox;
std::atomic<bool> sendPending{false};

void PostToPeer(const std::string& line) { outbox.post(line, sendPending); }

}  // namespace ZwiUnit1
