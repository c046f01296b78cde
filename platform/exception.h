#pragma once
// The class library's exception class: everything the game raises on purpose, and every
// failure the platform reports with a message text of its own, derives from it.
#include <stdexcept>
#include <string>

namespace plat {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A socket failure; the text is the socket library's own ("Socket Error # 10054 ...").
class SocketError : public Exception {
public:
    using Exception::Exception;
};

// A file failure of the runtime ("File access denied", "Disk full", "I/O error 5").
class InOutError : public Exception {
public:
    InOutError(const std::string& message, int code) : Exception(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace plat
