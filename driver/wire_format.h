#pragma once

#include <cstdint>

// The framing of one request on a device socket. The client sends "LVDR", code, input size,
// output size and the input bytes; the driver answers "LVDR", ok (1 or 0), byte count (at most
// the output size) and the bytes. One request per connection, integers little-endian.
namespace wire {

inline constexpr uint32_t kRequestHeaderSize = 16;
inline constexpr uint32_t kReplyHeaderSize = 12;

// Far above the program's requests (12 bytes in, 2328 out): bounds what a driver buffers for
// a peer.
inline constexpr uint32_t kMaxInputSize = 4096;
inline constexpr uint32_t kMaxOutputSize = 65536;

struct RequestHeader {
    uint32_t code = 0;
    uint32_t inSize = 0;
    uint32_t outSize = 0;
};

struct ReplyHeader {
    uint32_t ok = 0;
    uint32_t count = 0;
};

void EncodeRequestHeader(const RequestHeader& header, uint8_t* out);
// False when the bytes do not start with the magic.
bool DecodeRequestHeader(const uint8_t* in, RequestHeader& header);

void EncodeReplyHeader(const ReplyHeader& header, uint8_t* out);
bool DecodeReplyHeader(const uint8_t* in, ReplyHeader& header);

} // namespace wire
