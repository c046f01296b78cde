#pragma once
// Cutting a received byte stream into lines: a line ends at LF; one CR right before the LF
// is dropped; every other byte, 0 included, belongs to the line.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/tcp.h"

namespace plat {

// Fed arbitrary chunks; hands out complete lines.
class LineSplitter {
public:
    // The limit counts every byte before the LF, a CR included.
    explicit LineSplitter(std::size_t maxLineBytes = kMaxLineBytes) : max_(maxLineBytes) {}
    void feed(std::string_view bytes);
    // Takes the next complete line. Returns false when none is complete yet, or when the
    // next one passed the limit (see overflowed()).
    bool next(std::string& line);
    // A whole line waits to be taken (or passed the limit: see overflowed()).
    bool hasLine() const { return buf_.find('\n', start_ + scanned_) != std::string::npos; }
    bool empty() const { return buf_.size() == start_; }
    // Bytes held: complete lines not yet taken plus a partial one.
    std::size_t buffered() const { return buf_.size() - start_; }
    // The next line passed the limit before its LF.
    bool overflowed() const;

private:
    std::string buf_;
    std::size_t start_ = 0;    // first byte not yet taken
    std::size_t scanned_ = 0;  // bytes from start_ known to hold no LF
    std::size_t max_;
};

}  // namespace plat
