#include "driver/driver_server.h"

#include "driver/control_commands.h"
#include "driver/device_names.h"
#include "driver/driver_directory.h"
#include "driver/wire_format.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxConnections = 64;
constexpr size_t kMaxCommandLength = 4096;

void Log(const std::string& text) {
    std::fprintf(stderr, "levora-driver: %s\n", text.c_str());
}

std::string Errno() {
    return std::strerror(errno);
}

} // namespace

DriverServer::DriverServer(sim::SimDriver& driver, std::string directory,
                           std::chrono::milliseconds clientTimeout)
    : driver_(driver), directory_(std::move(directory)), clientTimeout_(clientTimeout) {
    for (int i = 0; i < kControl; ++i)
        listeners_[i].path = directory_ + "/" + sim::SlotDeviceFile(i);
    listeners_[kControl].path = directory_ + "/control";
}

DriverServer::~DriverServer() {
    if (!lock_.Valid())
        return;
    for (size_t i = 0; i < listeners_.size(); ++i)
        CloseListener(static_cast<int>(i));
    unlink((directory_ + "/lock").c_str());
}

bool DriverServer::Start(std::string& error) {
    if (mkdir(directory_.c_str(), 0700) < 0 && errno != EEXIST) {
        error = directory_ + ": " + Errno();
        return false;
    }
    std::string why;
    if (sim::CheckDriverDirectory(directory_, why) != sim::DirectoryState::Usable) {
        error = why;
        return false;
    }
    std::string lockPath = directory_ + "/lock";
    unix_socket::UniqueFd lock(
        open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.Valid()) {
        error = lockPath + ": " + Errno();
        return false;
    }
    if (flock(lock.Get(), LOCK_EX | LOCK_NB) < 0) {
        error = "another levora-driver serves " + directory_;
        return false;
    }
    // Holding the lock, any socket file left here belongs to a driver that died.
    lock_ = std::move(lock);
    if (!OpenListener(kControl, error))
        return false;
    SyncDeviceSockets();
    return true;
}

void DriverServer::Run(int stopFd) {
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({stopFd, POLLIN, 0});
        for (const Listener& l : listeners_)
            fds.push_back({l.fd.Get(), POLLIN, 0}); // -1 for a closed one is ignored by poll
        for (const Connection& c : connections_)
            fds.push_back({c.fd.Get(), static_cast<short>(c.replying ? POLLOUT : POLLIN), 0});

        if (poll(fds.data(), fds.size(), PollTimeoutMs()) < 0 && errno != EINTR) {
            Log("poll: " + Errno());
            return;
        }
        if (fds[0].revents & POLLIN)
            return;
        size_t first = 1 + listeners_.size();
        for (size_t i = 0; i < connections_.size(); ++i) {
            short events = fds[first + i].revents;
            Connection& c = connections_[i];
            if (events & (POLLERR | POLLNVAL))
                c.done = true;
            else if (!c.replying && (events & (POLLIN | POLLHUP)))
                Receive(c);
            else if (c.replying && (events & (POLLOUT | POLLHUP)))
                Send(c);
        }
        auto now = unix_socket::Clock::now();
        std::erase_if(connections_,
                      [now](const Connection& c) { return c.done || now >= c.deadline; });
        for (size_t i = 0; i < listeners_.size(); ++i) {
            if (fds[1 + i].revents & POLLIN)
                Accept(static_cast<int>(i));
        }
    }
}

bool DriverServer::OpenListener(int index, std::string& error) {
    Listener& l = listeners_[index];
    unlink(l.path.c_str());
    l.fd = unix_socket::Listen(l.path, error);
    return l.fd.Valid();
}

void DriverServer::CloseListener(int index) {
    Listener& l = listeners_[index];
    if (!l.fd.Valid())
        return;
    l.fd.Reset();
    unlink(l.path.c_str());
}

// An unplugged card is a missing device: its socket file goes away until it is plugged in.
void DriverServer::SyncDeviceSockets() {
    for (int slot = 0; slot < kControl; ++slot) {
        bool plugged = driver_.IsPlugged(slot);
        if (plugged == listeners_[slot].fd.Valid())
            continue;
        std::string error;
        if (!plugged)
            CloseListener(slot);
        else if (!OpenListener(slot, error))
            Log(error);
    }
}

void DriverServer::Accept(int index) {
    while (listeners_[index].fd.Valid()) {
        unix_socket::UniqueFd fd(
            accept4(listeners_[index].fd.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.Valid()) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                Log("accept: " + Errno());
            return;
        }
        if (!unix_socket::PeerIsSameUser(fd.Get())) {
            Log("refused a connection from another user on " + listeners_[index].path);
            continue;
        }
        if (connections_.size() >= kMaxConnections)
            continue; // closed at once: the client sees a failed request
        connections_.push_back(
            {std::move(fd), index, unix_socket::Clock::now() + clientTimeout_, {}, {}});
    }
}

void DriverServer::Receive(Connection& c) {
    uint8_t buffer[4096];
    for (;;) {
        ssize_t n = recv(c.fd.Get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            c.done = true; // closed or failed before the request was complete
            return;
        }
        c.request.insert(c.request.end(), buffer, buffer + n);
        if (c.slot == kControl)
            TakeControlCommand(c);
        else
            TakeDeviceRequest(c);
        if (c.replying || c.done)
            return;
    }
}

void DriverServer::TakeDeviceRequest(Connection& c) {
    if (c.request.size() < wire::kRequestHeaderSize)
        return;
    wire::RequestHeader header;
    if (!wire::DecodeRequestHeader(c.request.data(), header)) {
        c.done = true; // not our protocol: no answer
        return;
    }
    bool sane = header.inSize <= wire::kMaxInputSize && header.outSize <= wire::kMaxOutputSize;
    if (sane && c.request.size() < wire::kRequestHeaderSize + header.inSize)
        return;
    std::vector<uint8_t> out(sane ? header.outSize : 0);
    uint32_t count = 0;
    bool ok =
        sane && driver_.Request(c.slot, header.code, c.request.data() + wire::kRequestHeaderSize,
                                header.inSize, out.data(), header.outSize, &count);
    if (!ok)
        count = 0;
    c.reply.resize(wire::kReplyHeaderSize);
    wire::EncodeReplyHeader({ok ? 1u : 0u, count}, c.reply.data());
    c.reply.insert(c.reply.end(), out.begin(), out.begin() + count);
    c.replying = true;
    Send(c);
}

void DriverServer::TakeControlCommand(Connection& c) {
    auto end = std::find(c.request.begin(), c.request.end(), '\n');
    std::string reply;
    if (end != c.request.end())
        reply = sim::RunControlCommand(std::string(c.request.begin(), end), driver_);
    else if (c.request.size() > kMaxCommandLength)
        reply = "error: command too long\n";
    else
        return;
    SyncDeviceSockets();
    c.reply.assign(reply.begin(), reply.end());
    c.replying = true;
    Send(c);
}

void DriverServer::Send(Connection& c) {
    while (c.sent < c.reply.size()) {
        ssize_t n =
            send(c.fd.Get(), c.reply.data() + c.sent, c.reply.size() - c.sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0)
            break;
        c.sent += static_cast<size_t>(n);
    }
    c.done = true;
}

int DriverServer::PollTimeoutMs() const {
    if (connections_.empty())
        return -1;
    auto next = std::min_element(connections_.begin(), connections_.end(),
                                 [](const Connection& a, const Connection& b) {
                                     return a.deadline < b.deadline;
                                 })
                    ->deadline;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(next - unix_socket::Clock::now());
    return static_cast<int>(std::max<int64_t>(left.count(), 0));
}
