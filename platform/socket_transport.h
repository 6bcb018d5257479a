#pragma once

#include "device/driver_transport.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <string>

// Requests to the stand-in driver daemon over the Unix-domain sockets in its directory: the
// device "\\.\madiOut32" is the socket madiOut32 there. Each request connects, sends one
// framed request and reads the reply before a deadline, so a hung driver costs at most the
// deadline per request and never freezes the program.
class SocketTransport final : public DriverTransport {
public:
    static constexpr std::chrono::microseconds kDefaultDeadline{5000};

    // Told once why the directory is not trusted; stderr by default.
    using Warn = std::function<void(const std::string&)>;

    explicit SocketTransport(std::string directory,
                             std::chrono::microseconds deadline = kDefaultDeadline, Warn warn = {});

    // Fails without touching `out` when the directory is missing or not trusted, the device
    // does not answer in time, the peer is another user, or the reply is malformed, refused
    // or larger than `outSize`.
    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override;

    const std::string& Directory() const { return directory_; }

private:
    bool DirectoryTrusted();

    std::string directory_;
    std::chrono::microseconds deadline_;
    Warn warn_;
    std::atomic<bool> warned_{false};
};
