#include "driver/device_names.h"
#include "tests/unit/driver/sim_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace driver_protocol;

namespace {

TEST(DeviceNames, MapOnlyTheSixDevicesToSlots) {
    for (int slot = 0; slot < kCardSlots; ++slot)
        EXPECT_EQ(sim::SlotForDeviceName(simtest::kSlotNames[slot]), slot);
    EXPECT_EQ(sim::SlotDeviceFile(1), "madiOut32");
    EXPECT_EQ(sim::SlotDeviceFile(5), "kestrelOut26");
    for (const char* name : {"madiOut0", "\\\\.\\madiOut1", "\\\\.\\kestrelOut39",
                             "\\\\.\\madiOut0/../x", "\\\\.\\", ""})
        EXPECT_EQ(sim::SlotForDeviceName(name), -1) << name;
}

struct RefusedCase {
    const char* name;
    const char* device;
    uint32_t code;
    uint32_t inSize;
    uint32_t outSize;
};

class RefusedRequests : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRequests, FailAndLeaveTheBufferAlone) {
    simtest::Rack rack("card 0 kind 7 speed single\ncard 3 kind 0 speed single unplugged\n");
    const RefusedCase& c = GetParam();
    std::vector<uint8_t> in(16, 1);
    std::vector<uint8_t> out(4096, 0x5A);
    uint32_t returned = 77;
    EXPECT_FALSE(rack.transport.Request(c.device, c.code, in.data(), c.inSize, out.data(),
                                        c.outSize, &returned));
    EXPECT_EQ(returned, 77u);
    for (uint8_t byte : out)
        ASSERT_EQ(byte, 0x5A);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedRequests,
    testing::Values(RefusedCase{"UnknownCode", "\\\\.\\madiOut0", 0x1D40BC, 0, 4096},
                    RefusedCase{"ShortCardInfo", "\\\\.\\madiOut0", IOCTL_CARD_INFO, 0, 91},
                    RefusedCase{"ShortLevelBlock", "\\\\.\\madiOut0", IOCTL_READ_LEVELS, 12, 2327},
                    RefusedCase{"ShortLevelRequest", "\\\\.\\madiOut0", IOCTL_READ_LEVELS, 11,
                                4096},
                    RefusedCase{"EmptySlot", "\\\\.\\madiOut32", IOCTL_CARD_INFO, 0, 4096},
                    RefusedCase{"UnpluggedCard", "\\\\.\\kestrelOut0", IOCTL_CARD_INFO, 0, 4096},
                    RefusedCase{"NoSuchDevice", "\\\\.\\madiOut33", IOCTL_CARD_INFO, 0, 4096}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(InProcessTransport, WritesOnlyTheReplyIntoALargerBuffer) {
    simtest::Rack rack("card 3 kind 0 speed single\n");
    std::vector<uint8_t> out(2000, 0x5A);
    uint32_t in[3] = {1, 1, 1};
    uint32_t returned = 0;
    ASSERT_TRUE(rack.transport.Request(simtest::kSlotNames[3], IOCTL_READ_LEVELS, in, sizeof in,
                                       out.data(), 2000, &returned));
    EXPECT_EQ(returned, kKestrelLayout.size);
    for (size_t i = kKestrelLayout.size; i < out.size(); ++i)
        ASSERT_EQ(out[i], 0x5A) << i;
    EXPECT_FALSE(
        rack.transport.Request(nullptr, IOCTL_CARD_INFO, nullptr, 0, out.data(), 2000, &returned));
}

} // namespace
