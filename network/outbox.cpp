// The queue of lines for the peer, and the unit variables that carry it.
#include "network/outbox.h"

#include "game/zwiunit1.h"
#include "network/messages.h"

namespace network {

void Outbox::post(const std::string& line, std::atomic<bool>& pending) {
    {
        std::lock_guard<std::mutex> g(m_);
        // A new board makes the clicks of the old one meaningless to the peer. A line
        // being written right now stays out of reach: sendOne holds its own copy.
        if (line.size() >= kBoardMinLength) lines_.clear();
        lines_.push_back(Line{nextId_++, line});
        pending = true;
    }
    if (onPosted) onPosted();
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
