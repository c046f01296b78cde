#pragma once
// The lines waiting for the peer. A queue rather than one slot, so that two lines posted
// before the network thread's next pass both go out, once each and in order. A short lock
// guards it; it is never held across a socket write.
//
// What waits while no peer is served is kept for the next one only while it still shows
// the table: a board with no card action on it since, and the scores sent after it. A card
// action with no peer to take it is dropped together with everything waiting, so a peer
// that comes later never gets a move on a table it does not have.
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace network {

class Outbox {
public:
    // Queues a line. A board line (45 characters or more) starts a new game, so the lines
    // still waiting from before it are dropped first. Sets `pending`, then calls onPosted.
    // A card action while no peer is served is not queued and empties the queue.
    void post(const std::string& line, std::atomic<bool>& pending);
    // The clearing step: drops every waiting line and clears `pending`.
    void clear(std::atomic<bool>& pending);
    // A network thread starts serving a peer from this queue (before its first send), and
    // stops again. When the last one stops, a card action still waiting (its connection
    // broke first) goes, with everything waiting.
    void attach();
    void detach(std::atomic<bool>& pending);
    // The send step of a network thread: when a line waits, writes it with `write` (which
    // may throw; the line then stays queued) and only afterwards removes it. Returns true
    // when a line was written.
    bool sendOne(const std::function<void(const std::string&)>& write, std::atomic<bool>& pending);
    std::size_t size() const;
    std::string front() const;  // empty when none
    // Called after every post (wakes the network thread's wait). Set on the main thread.
    std::function<void()> onPosted;

private:
    struct Line {
        std::uint64_t id;
        std::string text;
    };
    mutable std::mutex m_;
    std::deque<Line> lines_;
    std::uint64_t nextId_ = 1;
    int peers_ = 0;  // network threads serving a peer from this queue
};

}  // namespace network
