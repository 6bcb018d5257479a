#pragma once

#include "driver/unix_socket.h"
#include "driver/wire_format.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A device socket whose answers the test writes, served from a thread of the test: each
// accepted connection is handed to `answer`, then kept open until the server stops, so a
// server that writes nothing is one that accepts and never answers.
class FakeDriverServer {
public:
    using Answer = std::function<void(int fd)>;

    FakeDriverServer(const std::string& path, Answer answer) : answer_(std::move(answer)) {
        std::string error;
        listener_ = unix_socket::Listen(path, error);
        if (pipe(stop_) == 0 && listener_.Valid())
            thread_ = std::thread([this] { Serve(); });
    }
    ~FakeDriverServer() {
        if (thread_.joinable()) {
            (void)!write(stop_[1], "x", 1);
            thread_.join();
        }
        close(stop_[0]);
        close(stop_[1]);
    }
    bool Listening() const { return thread_.joinable(); }
    int Connections() const { return connections_; }

    // Reads the whole request (header and input) the client sent; empty when it is cut short.
    static std::vector<uint8_t> ReadRequest(int fd) {
        std::vector<uint8_t> bytes(wire::kRequestHeaderSize);
        auto deadline = unix_socket::Clock::now() + std::chrono::seconds(2);
        wire::RequestHeader header;
        if (!unix_socket::ReceiveAll(fd, bytes.data(), bytes.size(), deadline) ||
            !wire::DecodeRequestHeader(bytes.data(), header))
            return {};
        bytes.resize(bytes.size() + header.inSize);
        if (!unix_socket::ReceiveAll(fd, bytes.data() + wire::kRequestHeaderSize, header.inSize,
                                     deadline))
            return {};
        return bytes;
    }

    static void Send(int fd, const std::vector<uint8_t>& bytes) {
        unix_socket::SendAll(fd, bytes.data(), bytes.size(),
                             unix_socket::Clock::now() + std::chrono::seconds(2));
    }

    static std::vector<uint8_t> Reply(uint32_t ok, uint32_t count,
                                      const std::vector<uint8_t>& payload) {
        std::vector<uint8_t> bytes(wire::kReplyHeaderSize);
        wire::EncodeReplyHeader({ok, count}, bytes.data());
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return bytes;
    }

private:
    void Serve() {
        std::vector<unix_socket::UniqueFd> open;
        for (;;) {
            pollfd fds[2] = {{listener_.Get(), POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
                return;
            unix_socket::UniqueFd fd(
                accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
            if (!fd.Valid())
                continue;
            ++connections_;
            answer_(fd.Get());
            open.push_back(std::move(fd));
        }
    }

    Answer answer_;
    unix_socket::UniqueFd listener_;
    int stop_[2] = {-1, -1};
    std::atomic<int> connections_{0};
    std::thread thread_;
};
