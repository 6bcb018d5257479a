#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// Small POSIX helpers for the driver's Unix-domain stream sockets, shared by the daemon and
// its clients.
namespace unix_socket {

using Clock = std::chrono::steady_clock;

// Owns a file descriptor and closes it.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    void Reset(int fd = -1);

private:
    int fd_ = -1;
};

// A non-blocking stream socket connected to `path`; invalid when nothing listens there or
// the path does not fit a socket address.
UniqueFd Connect(const std::string& path);

// A non-blocking listening socket bound to `path` (which must not exist).
UniqueFd Listen(const std::string& path, std::string& error);

// Whether the process at the other end runs as this user (SO_PEERCRED).
bool PeerIsSameUser(int fd);

// Write or read exactly `size` bytes of a non-blocking socket before the deadline.
bool SendAll(int fd, const void* data, size_t size, Clock::time_point deadline);
bool ReceiveAll(int fd, void* data, size_t size, Clock::time_point deadline);

// Appends everything the peer sends until it closes; false when that takes past the deadline
// or more than `limit` bytes.
bool ReceiveUntilClosed(int fd, std::string& text, size_t limit, Clock::time_point deadline);

} // namespace unix_socket
