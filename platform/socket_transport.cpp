#include "platform/socket_transport.h"

#include "driver/device_names.h"
#include "driver/driver_directory.h"
#include "driver/unix_socket.h"
#include "driver/wire_format.h"

#include <cstdio>
#include <cstring>
#include <vector>

SocketTransport::SocketTransport(std::string directory, std::chrono::microseconds deadline,
                                 Warn warn)
    : directory_(std::move(directory)), deadline_(deadline), warn_(std::move(warn)) {
    if (!warn_)
        warn_ = [](const std::string& text) { std::fprintf(stderr, "levora: %s\n", text.c_str()); };
}

bool SocketTransport::DirectoryTrusted() {
    std::string why;
    sim::DirectoryState state = sim::CheckDriverDirectory(directory_, why);
    if (state == sim::DirectoryState::Untrusted && !warned_.exchange(true))
        warn_("not using the card driver: " + why);
    return state == sim::DirectoryState::Usable;
}

bool SocketTransport::Request(const char* deviceName, uint32_t code, const void* in,
                              uint32_t inSize, void* out, uint32_t outSize,
                              uint32_t* bytesReturned) {
    using namespace unix_socket;
    int slot = deviceName != nullptr ? sim::SlotForDeviceName(deviceName) : -1;
    if (slot < 0 || (inSize > 0 && in == nullptr) || (outSize > 0 && out == nullptr) ||
        !DirectoryTrusted())
        return false;
    auto deadline = Clock::now() + deadline_;
    UniqueFd fd = Connect(directory_ + "/" + sim::SlotDeviceFile(slot));
    if (!fd.Valid() || !PeerIsSameUser(fd.Get()))
        return false;

    uint8_t header[wire::kRequestHeaderSize];
    wire::EncodeRequestHeader({code, inSize, outSize}, header);
    if (!SendAll(fd.Get(), header, sizeof header, deadline) ||
        !SendAll(fd.Get(), in, inSize, deadline))
        return false;

    uint8_t replyBytes[wire::kReplyHeaderSize];
    wire::ReplyHeader reply;
    if (!ReceiveAll(fd.Get(), replyBytes, sizeof replyBytes, deadline) ||
        !wire::DecodeReplyHeader(replyBytes, reply) || reply.ok != 1 || reply.count > outSize)
        return false;
    // Received aside first: a reply cut short must not leave half of it in `out`.
    std::vector<uint8_t> payload(reply.count);
    if (!ReceiveAll(fd.Get(), payload.data(), payload.size(), deadline))
        return false;
    if (reply.count > 0)
        std::memcpy(out, payload.data(), reply.count);
    if (bytesReturned != nullptr)
        *bytesReturned = reply.count;
    return true;
}
