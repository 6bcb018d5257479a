#include "driver/unix_socket.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace unix_socket {

namespace {

bool MakeAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

UniqueFd StreamSocket() {
    return UniqueFd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

// Waits for `events` on fd until the deadline; false when it passed or the socket failed.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return false;
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd p{fd, events, 0};
        int n = ppoll(&p, 1, &timeout, nullptr);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        return (p.revents & events) != 0 || (p.revents & POLLHUP) != 0;
    }
}

} // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int UniqueFd::Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset(int fd) {
    if (fd_ >= 0)
        close(fd_);
    fd_ = fd;
}

UniqueFd Connect(const std::string& path) {
    sockaddr_un address;
    if (!MakeAddress(path, address))
        return UniqueFd();
    UniqueFd fd = StreamSocket();
    if (!fd.Valid())
        return fd;
    int rc;
    do {
        rc = connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (rc < 0 && errno == EINTR);
    // A full backlog (EAGAIN) counts as a driver that does not answer.
    if (rc < 0)
        fd.Reset();
    return fd;
}

UniqueFd Listen(const std::string& path, std::string& error) {
    sockaddr_un address;
    if (!MakeAddress(path, address)) {
        error = path + ": path too long for a socket";
        return UniqueFd();
    }
    UniqueFd fd = StreamSocket();
    if (!fd.Valid() ||
        bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0 ||
        listen(fd.Get(), 64) < 0) {
        error = path + ": " + std::strerror(errno);
        return UniqueFd();
    }
    return fd;
}

bool PeerIsSameUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) < 0)
        return false;
    return credentials.uid == geteuid();
}

bool SendAll(int fd, const void* data, size_t size, Clock::time_point deadline) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
        if (n > 0) {
            bytes += n;
            size -= static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool ReceiveAll(int fd, void* data, size_t size, Clock::time_point deadline) {
    auto* bytes = static_cast<uint8_t*>(data);
    while (size > 0) {
        ssize_t n = recv(fd, bytes, size, 0);
        if (n > 0) {
            bytes += n;
            size -= static_cast<size_t>(n);
        } else if (n == 0) {
            return false; // the peer closed before the end
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!WaitFor(fd, POLLIN, deadline))
                return false;
        } else {
            return false;
        }
    }
    return true;
}

bool ReceiveUntilClosed(int fd, std::string& text, size_t limit, Clock::time_point deadline) {
    char buffer[4096];
    for (;;) {
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n == 0)
            return true;
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
            if (text.size() > limit)
                return false;
        } else if (errno == EINTR) {
            continue;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        } else if (!WaitFor(fd, POLLIN, deadline)) {
            return false;
        }
    }
}

} // namespace unix_socket
