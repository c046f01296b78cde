// Line splitting of the received byte stream.
#include "platform/tcp_lines.h"

namespace plat {

void LineSplitter::feed(std::string_view bytes) {
    // Drop what was taken before the buffer grows, so a long session keeps it small.
    if (start_ > 0 && start_ >= buf_.size() / 2) {
        buf_.erase(0, start_);
        start_ = 0;
    }
    buf_.append(bytes);
}

bool LineSplitter::next(std::string& line) {
    std::size_t lf = buf_.find('\n', start_ + scanned_);
    if (lf == std::string::npos) {
        scanned_ = buf_.size() - start_;
        return false;
    }
    if (lf - start_ > max_) return false;
    std::size_t end = lf;
    if (end > start_ && buf_[end - 1] == '\r') --end;
    line.assign(buf_, start_, end - start_);
    start_ = lf + 1;
    scanned_ = 0;
    if (start_ == buf_.size()) {
        buf_.clear();
        start_ = 0;
    }
    return true;
}

bool LineSplitter::overflowed() const {
    std::size_t lf = buf_.find('\n', start_);
    std::size_t length = (lf == std::string::npos ? buf_.size() : lf) - start_;
    return length > max_;
}

}  // namespace plat
