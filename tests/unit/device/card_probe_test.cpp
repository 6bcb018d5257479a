#include "device/card_probe.h"

#include "device/driver_protocol.h"
#include "tests/unit/device/case_name.h"
#include "tests/unit/device/fake_transport.h"

#include <gtest/gtest.h>

#include <string>

using namespace driver_protocol;

namespace {

constexpr uint32_t kBit8 = kStatusDoubleSpeed;
constexpr uint32_t kBit31 = kStatusQuadSpeed;

class CardProbeTest : public testing::Test {
protected:
    int32_t Probe(int slot, int32_t* kind) {
        DeviceName name;
        return ProbeCard(device, name, slot, kind);
    }

    fake::FakeTransport transport;
    ControlDevice device{transport};
};

TEST_F(CardProbeTest, NamesEachSlotsDevice) {
    for (int slot = 0; slot < kCardSlots; ++slot) {
        DeviceName name;
        ASSERT_TRUE(FormatDeviceName(slot, name));
        EXPECT_EQ(std::string(name.data()), fake::kSlotNames[slot]) << "slot " << slot;
    }
    EXPECT_EQ(std::string(fake::kSlotNames[5]).size(), 16u); // two, one and one backslash
}

TEST_F(CardProbeTest, SlotOutsideTheSixIsNoCardAndSendsNothing) {
    DeviceName name;
    name.fill('x');
    int32_t kind = 3;
    EXPECT_EQ(ProbeCard(device, name, 6, &kind), kRateNoCard);
    EXPECT_EQ(ProbeCard(device, name, -1, &kind), kRateNoCard);
    EXPECT_EQ(name[0], '\0');
    EXPECT_EQ(kind, 3);
    EXPECT_EQ(transport.requests, 0);
}

TEST_F(CardProbeTest, SendsAZeroFilledCardInfoBufferWithoutInput) {
    transport.AddCard(1, fake::MadiInfo());
    Probe(1, nullptr);
    const fake::Device& card = transport.At(1);
    EXPECT_EQ(card.cardInfoRequests, 1);
    EXPECT_EQ(card.lastInSize, 0u);
    EXPECT_EQ(card.lastOutSize, kCardInfoSize);
    EXPECT_TRUE(card.outZeroedAtLastRequest);
}

struct Classification {
    const char* what;
    friend void PrintTo(const Classification& c, std::ostream* os) { *os << c.what; }
    int slot;
    fake::CardInfoFields info;
    int32_t rate;
    int32_t kind;
};

class CardClassificationTest : public CardProbeTest,
                               public testing::WithParamInterface<Classification> {};

TEST_P(CardClassificationTest, GivesRateAndKind) {
    const Classification& c = GetParam();
    transport.AddCard(c.slot, fake::CardInfo(c.info));
    int32_t kind = -5;
    EXPECT_EQ(Probe(c.slot, &kind), c.rate);
    EXPECT_EQ(kind, c.kind);
}

constexpr uint32_t M = kMadiMagic;
constexpr uint32_t K = kKestrelMagic;

INSTANTIATE_TEST_SUITE_P(
    Cards, CardClassificationTest,
    testing::Values(
        Classification{"madi single", 0, {M, 0, 0, 0, 0}, 1, 7},
        Classification{"madi double", 2, {M, 0, kBit8, 0, 0}, 5, 7},
        Classification{"madi ignores bit 31", 1, {M, 200, kBit31, 0, 0}, 1, 7},
        Classification{
            "madi kind ignores the other words", 0, {M, 50, 0, kOption28 | kOption29, 1}, 1, 7},
        Classification{"revision 99 model 1", 3, {K, 99, 0, 0, 1}, 1, 1},
        Classification{"revision 100 is tamsa", 4, {K, 100, 0, 0, 1}, 1, 6},
        Classification{"revision 149 bit 31 is not quad", 4, {K, 149, kBit31, 0, 0}, 1, 6},
        Classification{
            "revision 149 bits 8 and 31 is double", 4, {K, 149, kBit8 | kBit31, 0, 0}, 5, 6},
        Classification{"revision 99 bit 31 is not quad", 3, {K, 99, kBit31, 0, 0}, 1, 0},
        Classification{"revision 150 quad", 5, {K, 150, kBit31, 0, 0}, 7, 5},
        Classification{"quad overrides double", 5, {K, 150, kBit8 | kBit31, 0, 0}, 7, 5},
        Classification{"revision is unsigned", 5, {K, 0x80000000u, 0, 0, 0}, 1, 5},
        Classification{"bits 28 and 29", 3, {K, 150, 0, kOption28 | kOption29, 0}, 1, 2},
        Classification{"bit 28 only", 3, {K, 151, 0, kOption28, 0}, 1, 3},
        Classification{"bit 29 only", 3, {K, 300, 0, kOption29, 0}, 1, 4},
        Classification{"other option bits", 3, {K, 150, 0, ~(kOption28 | kOption29), 0}, 1, 5}),
    CaseName<Classification>);

struct EmptySlot {
    const char* what;
    friend void PrintTo(const EmptySlot& c, std::ostream* os) { *os << c.what; }
    int slot;
    void (*arrange)(fake::FakeTransport&, int slot);
};

class EmptySlotTest : public CardProbeTest, public testing::WithParamInterface<EmptySlot> {};

TEST_P(EmptySlotTest, IsNoCardAndLeavesTheKind) {
    GetParam().arrange(transport, GetParam().slot);
    int32_t kind = 4;
    EXPECT_EQ(Probe(GetParam().slot, &kind), kRateNoCard);
    EXPECT_EQ(kind, 4);

    ChannelSelection selection{.CardNumber = GetParam().slot, .cardKind = 3, .rateCode = 5};
    EXPECT_EQ(ProbeSelection(device, selection), kNoCardKind);
    EXPECT_EQ(selection.cardKind, kNoCardKind);
    EXPECT_EQ(selection.rateCode, kRateNoCard);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, EmptySlotTest,
    testing::Values(
        EmptySlot{"no device", 3, [](fake::FakeTransport&, int) {}},
        EmptySlot{"unplugged", 3,
                  [](fake::FakeTransport& t, int slot) {
                      t.AddCard(slot, fake::KestrelInfo()).present = false;
                  }},
        EmptySlot{"refused", 0,
                  [](fake::FakeTransport& t, int slot) {
                      t.AddCard(slot, fake::MadiInfo()).cardInfo.ok = false;
                  }},
        EmptySlot{"kestrel magic on a madi slot", 0,
                  [](fake::FakeTransport& t, int slot) { t.AddCard(slot, fake::KestrelInfo()); }},
        EmptySlot{"madi magic on a kestrel slot", 5,
                  [](fake::FakeTransport& t, int slot) { t.AddCard(slot, fake::MadiInfo()); }},
        // The magic alone is there; the model words are not.
        EmptySlot{"short reply", 3,
                  [](fake::FakeTransport& t, int slot) {
                      t.AddCard(slot, fake::KestrelInfo(99, 0, 0, 1)).cardInfo.bytes.resize(8);
                  }},
        EmptySlot{"claims more than the buffer", 3,
                  [](fake::FakeTransport& t, int slot) {
                      t.AddCard(slot, fake::KestrelInfo()).cardInfo.claimedBytes = 200;
                  }}),
    CaseName<EmptySlot>);

TEST_F(CardProbeTest, SelectionReceivesKindAndRate) {
    transport.AddCard(5, fake::KestrelInfo(150, kBit8, kOption29));
    ChannelSelection selection{.CardNumber = 5, .accepted = 1};
    EXPECT_EQ(ProbeSelection(device, selection), 4);
    EXPECT_EQ(selection.cardKind, 4);
    EXPECT_EQ(selection.rateCode, kRateDouble);
    EXPECT_EQ(selection.accepted, 1);
}

} // namespace

namespace {

std::vector<uint8_t> LabelledMadiInfo(const std::string& label) {
    std::vector<uint8_t> info = fake::MadiInfo(kStatusDoubleSpeed);
    std::copy(label.begin(), label.end(), info.begin() + kLabelOffset);
    return info;
}

TEST_F(CardProbeTest, ReadsTheLabelBetweenTheInterpretedWords) {
    transport.AddCard(0, LabelledMadiInfo("JACK graph"));
    transport.AddCard(1, fake::MadiInfo());
    // A label that fills its 44 bytes ends there, not in the status word after it.
    transport.AddCard(2, LabelledMadiInfo(std::string(kLabelSize, 'x')));
    // Fault guarded: bytes that are no text reaching the card list.
    transport.AddCard(3, [] {
        std::vector<uint8_t> info = fake::KestrelInfo();
        info[kLabelOffset] = 'a';
        info[kLabelOffset + 1] = 0x07;
        return info;
    }());
    EXPECT_EQ(ProbeCardLabel(device, 0), "JACK graph");
    EXPECT_EQ(ProbeCardLabel(device, 1), "");
    EXPECT_EQ(ProbeCardLabel(device, 2), std::string(kLabelSize, 'x'));
    EXPECT_EQ(ProbeCardLabel(device, 3), "");
    EXPECT_EQ(ProbeCardLabel(device, 4), "") << "no card";
    DeviceName name;
    EXPECT_EQ(ProbeCard(device, name, 0, nullptr), kRateDouble) << "the label leaves the speed";
}

} // namespace
