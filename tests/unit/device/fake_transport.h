#pragma once

#include "device/driver_protocol.h"
#include "device/driver_transport.h"
#include "driver/little_endian_write.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

// A driver that serves bytes the test composes. Request allocates nothing, so it also serves
// the allocation test and the engine benchmark.
namespace fake {

inline constexpr const char* kSlotNames[driver_protocol::kCardSlots] = {
    "\\\\.\\madiOut0",    "\\\\.\\madiOut32",    "\\\\.\\madiOut64",
    "\\\\.\\kestrelOut0", "\\\\.\\kestrelOut13", "\\\\.\\kestrelOut26"};

// Bounds-checked, so that a test composing outside its record fails loudly.
inline uint8_t* Field(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t size) {
    static_cast<void>(bytes.at(offset + size - 1));
    return bytes.data() + offset;
}

inline void Put32(std::vector<uint8_t>& bytes, uint32_t offset, uint32_t value) {
    little_endian::WriteU32(Field(bytes, offset, 4), value);
}

inline void Put64(std::vector<uint8_t>& bytes, uint32_t offset, int64_t value) {
    little_endian::WriteU64(Field(bytes, offset, 8), static_cast<uint64_t>(value));
}

struct CardInfoFields {
    uint32_t magic = 0;
    uint32_t revision = 0;
    uint32_t statusWord = 0;
    uint32_t optionWord = 0;
    uint32_t modelWord = 0;
};

inline std::vector<uint8_t> CardInfo(const CardInfoFields& f) {
    using namespace driver_protocol;
    std::vector<uint8_t> bytes(kCardInfoSize, 0);
    Put32(bytes, kMagicOffset, f.magic);
    Put32(bytes, kRevisionOffset, f.revision);
    Put32(bytes, kStatusWordOffset, f.statusWord);
    Put32(bytes, kOptionWordOffset, f.optionWord);
    Put32(bytes, kModelWordOffset, f.modelWord);
    return bytes;
}

inline std::vector<uint8_t> MadiInfo(uint32_t statusWord = 0) {
    return CardInfo({.magic = driver_protocol::kMadiMagic, .statusWord = statusWord});
}

// Revision 150 with no option bits: kind 5.
inline std::vector<uint8_t> KestrelInfo(uint32_t revision = 150, uint32_t statusWord = 0,
                                        uint32_t optionWord = 0, uint32_t modelWord = 0) {
    return CardInfo({driver_protocol::kKestrelMagic, revision, statusWord, optionWord, modelWord});
}

// A LevelBlock of one family, filled word by word.
class LevelBlock {
public:
    explicit LevelBlock(const driver_protocol::LevelBlockLayout& layout, uint8_t fill = 0)
        : layout_(layout), bytes_(layout.size, fill) {}

    LevelBlock& Peak(int bus, int channel, uint32_t word) {
        Put32(bytes_, layout_.peaks[bus] + 4 * channel, word);
        return *this;
    }
    LevelBlock& MeanSquare(int bus, int channel, int64_t value) {
        Put64(bytes_, layout_.meanSquares[bus] + 8 * channel, value);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    const driver_protocol::LevelBlockLayout& layout_;
    std::vector<uint8_t> bytes_;
};

// How a device answers one control code.
struct Reply {
    bool ok = true;
    std::vector<uint8_t> bytes; // written into the caller's buffer, cut to its size
    int64_t claimedBytes = -1;  // the byte count reported; -1 for the bytes written
};

struct Device {
    std::string name;
    bool present = true; // false: the open fails, as for an unplugged card
    Reply cardInfo;
    Reply levels;
    int cardInfoRequests = 0;
    int levelRequests = 0;
    bool outZeroedAtLastRequest = false;
    uint32_t lastInSize = 0;
    uint32_t lastOutSize = 0;
    std::array<uint8_t, 16> lastIn{};
};

class FakeTransport final : public DriverTransport {
public:
    // A device that opens and answers; without a card-info reply it refuses every request.
    Device& Add(const char* name) {
        Device& device = devices_.emplace_back();
        device.name = name;
        return device;
    }

    Device& AddCard(int slot, std::vector<uint8_t> cardInfo) {
        Device& device = Add(kSlotNames[slot]);
        device.cardInfo.bytes = std::move(cardInfo);
        device.levels.bytes.assign(driver_protocol::LayoutForSlot(slot).size, 0);
        return device;
    }

    Device* Find(const char* name) {
        for (Device& device : devices_) {
            if (device.name == name)
                return &device;
        }
        return nullptr;
    }
    Device& At(int slot) { return *Find(kSlotNames[slot]); }

    int LevelRequests() const {
        int total = 0;
        for (const Device& device : devices_)
            total += device.levelRequests;
        return total;
    }

    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override {
        ++requests;
        Device* device = Find(deviceName);
        if (!device || !device->present)
            return false; // the open fails
        device->lastInSize = inSize;
        device->lastOutSize = outSize;
        if (in)
            std::memcpy(device->lastIn.data(), in, std::min<size_t>(inSize, device->lastIn.size()));
        auto* bytes = static_cast<uint8_t*>(out);
        device->outZeroedAtLastRequest =
            std::all_of(bytes, bytes + outSize, [](uint8_t b) { return b == 0; });
        Reply* reply = nullptr;
        if (code == driver_protocol::IOCTL_CARD_INFO) {
            ++device->cardInfoRequests;
            reply = &device->cardInfo;
        } else if (code == driver_protocol::IOCTL_READ_LEVELS) {
            ++device->levelRequests;
            reply = &device->levels;
        }
        if (!reply || reply->bytes.empty())
            return false;
        // Written even when the reply fails: a driver may scribble before it gives up.
        const uint32_t written = std::min<uint32_t>(outSize, reply->bytes.size());
        std::memcpy(out, reply->bytes.data(), written);
        *bytesReturned =
            reply->claimedBytes < 0 ? written : static_cast<uint32_t>(reply->claimedBytes);
        return reply->ok;
    }

    int requests = 0;

private:
    std::deque<Device> devices_; // references stay valid as devices are added
};

} // namespace fake
