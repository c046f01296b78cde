// Placeholder until the socket layer lands.
#include "platform/tcp.h"

#include "platform/exception.h"

namespace plat {

struct TcpConnection::Impl {};
TcpConnection::TcpConnection(int) {}
TcpConnection::~TcpConnection() = default;
void TcpConnection::writeLine(const std::string&) { throw SocketError("not connected"); }
void TcpConnection::checkForData(int) {}
bool TcpConnection::inputBufferEmpty() const { return true; }
std::string TcpConnection::readLine() { throw SocketError("not connected"); }
bool TcpConnection::connected() const { return false; }
std::string TcpConnection::localAddress() const { return {}; }
std::string TcpConnection::peerAddress() const { return {}; }
void TcpConnection::close() {}
void TcpConnection::wake() {}

struct TcpServer::Impl {
    bool active = false;
};
TcpServer::TcpServer() : d(new Impl) {}
TcpServer::~TcpServer() = default;
void TcpServer::setActive(bool on) { d->active = on; }
bool TcpServer::active() const { return d->active; }
int TcpServer::boundPort() const { return port; }
void TcpServer::wake() {}

struct TcpClient::Impl {};
TcpClient::TcpClient() {}
TcpClient::~TcpClient() = default;
void TcpClient::connect() { throw SocketError("not built yet"); }
bool TcpClient::connected() { return false; }
void TcpClient::disconnect() {}
TcpConnection* TcpClient::connection() { return nullptr; }

void notify(std::function<void()> item) { item(); }

}  // namespace plat
