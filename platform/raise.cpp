// Raise requests between copies: a datagram on an abstract Unix socket per process, served
// on the main thread through the event loop.
#include "platform/raise.h"

#include <QApplication>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/controls.h"
#include "platform/qt_internal.h"

namespace plat {
namespace {

int listenFd = -1;
QSocketNotifier* notifier = nullptr;
Form* raiseForm = nullptr;
int served = 0;

// Abstract names vanish with their process, so a stale handle finds nobody listening.
// The user id keeps one user's copies from raising another user's windows.
socklen_t addressFor(std::uint32_t pid, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    std::string name = "zwirlo-raise-" + std::to_string(geteuid()) + "-" + std::to_string(pid);
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

void trace() {
    const char* path = std::getenv("ZW_TRACE_RAISE");
    if (!path || !*path) return;
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    std::string line = "raised " + std::to_string(getpid()) + "\n";
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
}

void bringOwnWindowForward() {
    if (raiseForm) {
        raiseForm->bringToFront();
        return;
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!qobject_cast<QMainWindow*>(w) || w->isHidden()) continue;
        restoreAndRaise(w);
        return;
    }
}

// Drains every waiting request; only our own user's requests count.
void serveRequests() {
    for (;;) {
        char byte;
        iovec iov{&byte, 1};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred))];
        msghdr msg{};
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = recvmsg(listenFd, &msg, MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        bool ours = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_CREDENTIALS) {
                ucred cred;
                std::memcpy(&cred, CMSG_DATA(c), sizeof cred);
                ours = cred.uid == geteuid();
            }
        }
        if (!ours) continue;
        ++served;
        trace();
        bringOwnWindowForward();
    }
}

void watch() {
    if (notifier || listenFd < 0 || !QCoreApplication::instance()) return;
    notifier = new QSocketNotifier(listenFd, QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] { serveRequests(); });
}

}  // namespace

std::uint32_t raiseHandle() {
    if (listenFd < 0) {
        int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd >= 0) {
            int on = 1;
            sockaddr_un addr;
            socklen_t len = addressFor(static_cast<std::uint32_t>(getpid()), addr);
            if (setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof on) != 0 ||
                bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
                close(fd);
                fd = -1;
            }
        }
        listenFd = fd;
    }
    watch();
    return static_cast<std::uint32_t>(getpid());
}

void setMainFormForRaise(Form* form) {
    raiseForm = form;
    watch();
}

Form* mainFormForRaise() { return raiseForm; }

bool bringForward(std::uint32_t handle) {
    if (handle == 0) return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr;
    socklen_t len = addressFor(handle, addr);
    const char request = 'R';
    ssize_t n = sendto(fd, &request, 1, MSG_DONTWAIT | MSG_NOSIGNAL,
                       reinterpret_cast<sockaddr*>(&addr), len);
    close(fd);
    return n == 1;
}

int raiseRequestsServed() { return served; }

}  // namespace plat
