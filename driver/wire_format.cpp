#include "driver/wire_format.h"

#include "device/little_endian.h"
#include "driver/little_endian_write.h"

#include <cstring>

namespace wire {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'V', 'D', 'R'};

void PutMagic(uint8_t* out) {
    std::memcpy(out, kMagic, sizeof kMagic);
}
bool HasMagic(const uint8_t* in) {
    return std::memcmp(in, kMagic, sizeof kMagic) == 0;
}

} // namespace

void EncodeRequestHeader(const RequestHeader& header, uint8_t* out) {
    PutMagic(out);
    little_endian::WriteU32(out + 4, header.code);
    little_endian::WriteU32(out + 8, header.inSize);
    little_endian::WriteU32(out + 12, header.outSize);
}

bool DecodeRequestHeader(const uint8_t* in, RequestHeader& header) {
    if (!HasMagic(in))
        return false;
    header.code = little_endian::ReadU32(in + 4);
    header.inSize = little_endian::ReadU32(in + 8);
    header.outSize = little_endian::ReadU32(in + 12);
    return true;
}

void EncodeReplyHeader(const ReplyHeader& header, uint8_t* out) {
    PutMagic(out);
    little_endian::WriteU32(out + 4, header.ok);
    little_endian::WriteU32(out + 8, header.count);
}

bool DecodeReplyHeader(const uint8_t* in, ReplyHeader& header) {
    if (!HasMagic(in))
        return false;
    header.ok = little_endian::ReadU32(in + 4);
    header.count = little_endian::ReadU32(in + 8);
    return true;
}

} // namespace wire
