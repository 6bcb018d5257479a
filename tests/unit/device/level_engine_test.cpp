#include "device/level_engine.h"

#include "device/card_probe.h"
#include "device/poll_driver.h"
#include "tests/unit/device/case_name.h"
#include "tests/unit/device/fake_transport.h"
#include "tests/unit/device/level_recorder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace driver_protocol;

namespace {

std::vector<uint8_t> TaggedLevels(int slot) {
    const LevelBlockLayout& layout = LayoutForSlot(slot);
    fake::LevelBlock block(layout);
    for (int bus = 0; bus < kBuses; ++bus) {
        for (int channel = 0; channel < layout.channelsPerBus; ++channel) {
            const int32_t tag = ChannelTag(bus, channel);
            block.Peak(bus, channel, static_cast<uint32_t>(tag) << 8);
            block.MeanSquare(bus, channel, tag);
        }
    }
    return block.Bytes();
}

ChannelSelection Stereo(int card, int bus, int pair) {
    return {.CardNumber = card, .ChanNumber = pair, .BusType = bus};
}

ChannelSelection Group(int card, int bus, int group) {
    return {.CardNumber = card, .GroupNumber = group, .BusType = bus};
}

class LevelEngineTest : public testing::Test {
protected:
    void SetUp() override {
        engine->SetRestartLevelProcessing([this] {
            ++restarts;
            if (onRestart)
                onRestart();
        });
    }

    fake::Device& Plug(int slot, std::vector<uint8_t> info) {
        fake::Device& device = transport.AddCard(slot, std::move(info));
        device.levels.bytes = TaggedLevels(slot);
        return device;
    }

    int32_t Register(int32_t type, ChannelSelection selection, LevelRecorder& view) {
        return engine->RegisterView(type, selection, &view);
    }

    const ChannelSlot& SlotOf(int card, int bus, int pair) const {
        return engine->Slot(LevelEngine::SlotIndex(card, bus, pair));
    }
    bool ActiveAt(int card, int bus, int pair) const {
        return engine->SlotActive(LevelEngine::SlotIndex(card, bus, pair));
    }

    // The driver pairs a poll reported to `view`, in order, checked against their cookies.
    void ExpectPairs(const LevelRecorder& view, int bus, const std::vector<int>& pairs,
                     const std::vector<int32_t>& cookies) {
        ASSERT_EQ(view.calls.size(), pairs.size());
        for (size_t i = 0; i < pairs.size(); ++i) {
            EXPECT_EQ(TagOfPeak(view.calls[i].report.peakA), ChannelTag(bus, 2 * pairs[i])) << i;
            EXPECT_EQ(TagOfPeak(view.calls[i].report.peakB), ChannelTag(bus, 2 * pairs[i] + 1))
                << i;
            EXPECT_EQ(view.calls[i].cookie, cookies[i]) << i;
        }
    }

    bool AnySlotActive() const {
        for (int i = 0; i < LevelEngine::kSlots; ++i) {
            if (engine->SlotActive(i))
                return true;
        }
        return false;
    }

    fake::FakeTransport transport;
    ManualTickSource ticks{1000};
    std::unique_ptr<LevelEngine> engine = std::make_unique<LevelEngine>(transport, ticks, nullptr);
    int restarts = 0;
    std::function<void()> onRestart;
};

TEST(LevelEngineTable, SlotsRunByCardBusAndPair) {
    EXPECT_EQ(LevelEngine::SlotIndex(4, 2, 12), 908);
    EXPECT_EQ(LevelEngine::SlotIndex(5, 2, 63), LevelEngine::kSlots - 1);
}

struct Subscription {
    const char* what;
    friend void PrintTo(const Subscription& c, std::ostream* os) { *os << c.what; }
    fake::CardInfoFields info;
    int32_t type;
    ChannelSelection selection;
    std::vector<int> driverPairs; // subscribed with cookies 0, 1, 2, ...
};

class SubscriptionTest : public LevelEngineTest,
                         public testing::WithParamInterface<Subscription> {};

TEST_P(SubscriptionTest, FillsTheDriverPairsAndReportsThem) {
    const Subscription& c = GetParam();
    const int card = c.selection.CardNumber;
    const int bus = c.selection.BusType;
    Plug(card, fake::CardInfo(c.info));
    LevelRecorder view;
    ChannelSelection selection = c.selection;
    EXPECT_EQ(engine->RegisterView(c.type, selection, &view), selection.rateCode);
    EXPECT_EQ(engine->registeredRate(card), selection.rateCode);

    std::vector<int32_t> cookies;
    for (size_t i = 0; i < c.driverPairs.size(); ++i) {
        const ChannelSlot& slot = SlotOf(card, bus, c.driverPairs[i]);
        EXPECT_TRUE(ActiveAt(card, bus, c.driverPairs[i]));
        EXPECT_EQ(slot.listeners[0], &view);
        EXPECT_EQ(slot.cookies[0], static_cast<int32_t>(i));
        cookies.push_back(static_cast<int32_t>(i));
    }
    engine->Poll();
    ExpectPairs(view, bus, c.driverPairs, cookies);
}

constexpr fake::CardInfoFields kMadi{.magic = kMadiMagic};
constexpr fake::CardInfoFields kZento{.magic = kKestrelMagic, .revision = 10};
constexpr fake::CardInfoFields kQuira{.magic = kKestrelMagic, .revision = 20, .modelWord = 1};
constexpr fake::CardInfoFields kQuiraDouble{kKestrelMagic, 20, kStatusDoubleSpeed, 0, 1};
constexpr fake::CardInfoFields kBelloNoAnalogIn{kKestrelMagic, 150, 0, kOption29, 0};

INSTANTIATE_TEST_SUITE_P(
    Meters, SubscriptionTest,
    testing::Values(
        Subscription{
            "stereo on slot 908", kZento, LevelEngine::kStereoMeter, Stereo(4, 2, 12), {12}},
        Subscription{
            "madi group 5", kMadi, LevelEngine::kMultiChannelMeter, Group(1, 1, 5), {5, 6, 7, 8}},
        Subscription{"zento global",
                     kZento,
                     LevelEngine::kGlobalMeter,
                     Stereo(3, 0, 40),
                     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        Subscription{"bello global without analogue input",
                     kBelloNoAnalogIn,
                     LevelEngine::kGlobalMeter,
                     Stereo(5, 0, 0),
                     {0, 1, 2, 3, 4, 5}},
        Subscription{
            "quira single pair 4", kQuira, LevelEngine::kStereoMeter, Stereo(5, 0, 4), {8}},
        Subscription{
            "quira single pair 3", kQuira, LevelEngine::kStereoMeter, Stereo(5, 1, 3), {3}},
        Subscription{
            "quira double pair 2", kQuiraDouble, LevelEngine::kStereoMeter, Stereo(5, 0, 2), {4}},
        Subscription{
            "quira double pair 4", kQuiraDouble, LevelEngine::kStereoMeter, Stereo(5, 0, 4), {8}},
        Subscription{"quira single adat group",
                     kQuira,
                     LevelEngine::kMultiChannelMeter,
                     Group(3, 2, 1),
                     {8, 9, 10, 11}},
        Subscription{"quira double analogue group",
                     kQuiraDouble,
                     LevelEngine::kMultiChannelMeter,
                     Group(3, 0, 0),
                     {0, 1, 4, 5}},
        Subscription{"quira single global",
                     kQuira,
                     LevelEngine::kGlobalMeter,
                     Stereo(4, 0, 0),
                     {0, 1, 2, 3, 8, 9, 10, 11, 12}}),
    CaseName<Subscription>);

TEST_F(LevelEngineTest, CardThatIsAbsentOrStopsAnsweringKeepsItsSlots) {
    LevelRecorder view;
    EXPECT_EQ(Register(LevelEngine::kMultiChannelMeter, Group(0, 0, 0), view), kRateNoCard);
    EXPECT_EQ(SlotOf(0, 0, 3).listeners[0], &view);
    engine->Poll();
    EXPECT_TRUE(view.calls.empty());

    fake::Device& card = Plug(0, fake::MadiInfo());
    engine->Poll();
    EXPECT_EQ(view.calls.size(), 4u);
    card.present = false;
    engine->Poll();
    EXPECT_EQ(view.calls.size(), 4u);
    card.present = true;
    engine->Poll();
    EXPECT_EQ(view.calls.size(), 8u);
    // Registered while absent (rate 0): every answering poll asks for a fresh registration.
    EXPECT_EQ(restarts, 2);
}

TEST_F(LevelEngineTest, TwoViewsOnOnePairBothReportUntilTheLastLeaves) {
    fake::Device& card = Plug(0, fake::MadiInfo());
    LevelRecorder first, second;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 7), first);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 7), second);
    engine->Poll();
    engine->Poll();
    EXPECT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(second.calls.size(), 2u);

    engine->UnregisterView(&first);
    EXPECT_TRUE(ActiveAt(0, 0, 7));
    engine->Poll();
    EXPECT_EQ(first.calls.size(), 2u);
    EXPECT_EQ(second.calls.size(), 3u);

    engine->UnregisterView(&second);
    EXPECT_FALSE(ActiveAt(0, 0, 7));
    const int reads = card.levelRequests;
    engine->Poll();
    EXPECT_EQ(card.levelRequests, reads);
    EXPECT_EQ(second.calls.size(), 3u);
}

TEST_F(LevelEngineTest, ViewRegisteredTwiceIsCalledWithBothCookies) {
    Plug(2, fake::MadiInfo());
    LevelRecorder view;
    Register(LevelEngine::kGlobalMeter, Stereo(2, 1, 0), view);
    Register(LevelEngine::kStereoMeter, Stereo(2, 1, 3), view);
    view.calls.clear();
    engine->Poll();
    ASSERT_EQ(view.calls.size(), 33u); // 32 pairs, pair 3 twice
    EXPECT_EQ(view.calls[3].cookie, 3);
    EXPECT_EQ(view.calls[4].cookie, 0);
    EXPECT_EQ(TagOfPeak(view.calls[4].report.peakA), ChannelTag(1, 6));

    engine->UnregisterView(&view);
    EXPECT_FALSE(AnySlotActive());
}

TEST_F(LevelEngineTest, FullSlotTakesNoTwentyFirstListener) {
    Plug(0, fake::MadiInfo());
    std::vector<LevelRecorder> views(ChannelSlot::kListeners + 1);
    for (LevelRecorder& view : views)
        Register(LevelEngine::kStereoMeter, Stereo(0, 0, 10), view);
    for (int j = 0; j < ChannelSlot::kListeners; ++j)
        EXPECT_EQ(SlotOf(0, 0, 10).listeners[j], &views[j]);
    EXPECT_FALSE(ActiveAt(0, 0, 11));
    EXPECT_EQ(SlotOf(0, 0, 11).listeners[0], nullptr);
    EXPECT_EQ(SlotOf(0, 1, 10).listeners[0], nullptr);

    engine->Poll();
    EXPECT_EQ(views[0].calls.size(), 1u);
    EXPECT_EQ(views[19].calls.size(), 1u);
    EXPECT_TRUE(views[20].calls.empty());

    // A freed entry is taken again.
    engine->UnregisterView(&views[4]);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 10), views[20]);
    EXPECT_EQ(SlotOf(0, 0, 10).listeners[4], &views[20]);
}

struct Unsubscribable {
    const char* what;
    friend void PrintTo(const Unsubscribable& c, std::ostream* os) { *os << c.what; }
    int32_t type;
    ChannelSelection selection;
};

class OutOfTableTest : public LevelEngineTest,
                       public testing::WithParamInterface<Unsubscribable> {};

TEST_P(OutOfTableTest, SubscribesNothing) {
    Plug(0, fake::MadiInfo());
    Plug(3, fake::KestrelInfo(99, 0, 0, 1));
    Plug(4, fake::KestrelInfo(99));
    LevelRecorder view;
    ChannelSelection selection = GetParam().selection;
    engine->RegisterView(GetParam().type, selection, &view);
    EXPECT_FALSE(AnySlotActive());
    for (int card = 0; card < kCardSlots; ++card)
        EXPECT_EQ(engine->registeredRate(card), 0);
    engine->Poll();
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(transport.LevelRequests(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, OutOfTableTest,
    testing::Values(
        Unsubscribable{"quira group 2", LevelEngine::kMultiChannelMeter, Group(3, 0, 2)},
        Unsubscribable{"negative group", LevelEngine::kMultiChannelMeter, Group(4, 0, -1)},
        Unsubscribable{"negative group on an empty slot", LevelEngine::kMultiChannelMeter,
                       Group(1, 0, -1)},
        Unsubscribable{"madi group 40", LevelEngine::kMultiChannelMeter, Group(0, 0, 40)},
        Unsubscribable{"pair 64", LevelEngine::kStereoMeter, Stereo(0, 0, 64)},
        Unsubscribable{"pair minus 1", LevelEngine::kStereoMeter, Stereo(0, 2, -1)},
        Unsubscribable{"quira pair 60 maps to 64", LevelEngine::kStereoMeter, Stereo(3, 0, 60)},
        Unsubscribable{"card 6", LevelEngine::kStereoMeter, Stereo(6, 0, 0)},
        Unsubscribable{"card minus 1", LevelEngine::kGlobalMeter, Stereo(-1, 0, 0)},
        Unsubscribable{"bus 3", LevelEngine::kStereoMeter, Stereo(0, 3, 0)},
        Unsubscribable{"bus minus 1", LevelEngine::kGlobalMeter, Stereo(0, -1, 0)},
        Unsubscribable{"meter type 3", 3, Stereo(0, 0, 0)},
        Unsubscribable{"global on an empty slot", LevelEngine::kGlobalMeter, Stereo(2, 0, 0)}),
    CaseName<Unsubscribable>);

TEST_F(LevelEngineTest, NullViewSubscribesNothing) {
    Plug(0, fake::MadiInfo());
    ChannelSelection selection = Stereo(0, 0, 0);
    EXPECT_EQ(engine->RegisterView(LevelEngine::kStereoMeter, selection, nullptr), kRateSingle);
    EXPECT_FALSE(AnySlotActive());
}

struct ElapsedCase {
    const char* what;
    friend void PrintTo(const ElapsedCase& c, std::ostream* os) { *os << c.what; }
    uint32_t start;
    uint32_t gap;
    double elapsed;
};

class ElapsedTest : public LevelEngineTest, public testing::WithParamInterface<ElapsedCase> {};

TEST_P(ElapsedTest, IsTheClampedGapSinceTheLastPoll) {
    Plug(0, fake::MadiInfo());
    LevelRecorder view;
    ticks.Set(GetParam().start);
    Register(LevelEngine::kGlobalMeter, Stereo(0, 0, 0), view);
    ticks.Advance(GetParam().gap);
    engine->Poll();
    ASSERT_EQ(view.calls.size(), 32u);
    for (const LevelRecorder::Call& call : view.calls)
        EXPECT_DOUBLE_EQ(call.report.elapsed, GetParam().elapsed);
}

INSTANTIATE_TEST_SUITE_P(
    Gaps, ElapsedTest,
    testing::Values(ElapsedCase{"same ms", 500, 0, 0.005}, ElapsedCase{"1 ms", 500, 1, 0.005},
                    ElapsedCase{"5 ms", 500, 5, 0.005}, ElapsedCase{"20 ms", 500, 20, 0.020},
                    ElapsedCase{"999 ms", 500, 999, 0.999}, ElapsedCase{"1 s", 500, 1000, 1.0},
                    ElapsedCase{"3 s", 500, 3000, 1.0},
                    ElapsedCase{"across the wrap", 0xFFFFFFF0u, 0x20, 0.032}),
    CaseName<ElapsedCase>);

TEST_F(LevelEngineTest, SpeedChangeRestartsOnceUntilReRegistered) {
    fake::Device& madi = Plug(0, fake::MadiInfo());
    fake::Device& kestrel = Plug(3, fake::KestrelInfo(150));
    LevelRecorder a, b, c;
    ChannelSelection selection = Stereo(0, 0, 1);
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &a);
    Register(LevelEngine::kGlobalMeter, Stereo(0, 2, 0), b);
    Register(LevelEngine::kStereoMeter, Stereo(3, 1, 2), c);
    engine->Poll();
    EXPECT_EQ(restarts, 0);

    madi.cardInfo.bytes = fake::MadiInfo(kStatusDoubleSpeed);
    kestrel.cardInfo.bytes = fake::KestrelInfo(150, kStatusQuadSpeed);
    onRestart = [&] {
        // What the application does: every running window registers afresh.
        engine->UnregisterView(&a);
        engine->RegisterView(LevelEngine::kStereoMeter, selection, &a);
        engine->UnregisterView(&b);
        Register(LevelEngine::kGlobalMeter, Stereo(0, 2, 0), b);
        engine->UnregisterView(&c);
        Register(LevelEngine::kStereoMeter, Stereo(3, 1, 2), c);
    };
    engine->Poll();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(engine->registeredRate(0), kRateDouble);
    EXPECT_EQ(engine->registeredRate(3), kRateQuad);
    EXPECT_EQ(selection.rateCode, kRateDouble);

    engine->Poll();
    engine->Poll();
    EXPECT_EQ(restarts, 1);
}

TEST_F(LevelEngineTest, RegistrationOlderThanTheSpeedChangeRestartsEvenAfterANewerOne) {
    fake::Device& madi = Plug(0, fake::MadiInfo());
    LevelRecorder early, late;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), early);
    madi.cardInfo.bytes = fake::MadiInfo(kStatusDoubleSpeed);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 1), late);
    engine->Poll();
    // The early window still has the single-speed layout: it must be renewed too.
    EXPECT_EQ(restarts, 1);
}

// Registers `view` on `selection` again at every restart, as the application does for a
// running window.
class RenewingTest : public LevelEngineTest {
protected:
    void RegisterRenewing(int32_t type, ChannelSelection base, LevelRecorder& view) {
        auto renew = [this, type, base, &view] {
            engine->UnregisterView(&view);
            selection = base;
            rate = engine->RegisterView(type, selection, &view);
        };
        renew();
        onRestart = renew;
    }

    ChannelSelection selection;
    int32_t rate = -1;
};

TEST_F(RenewingTest, CardThatMissedTheRegistrationProbeIsMeteredOnceItAnswers) {
    // Regression: a window registered while its card did not answer (a card plugged in
    // later, a probe past its deadline) subscribed too little or nothing and was never
    // renewed, though the card answered every poll.
    fake::Device& quira = Plug(4, fake::KestrelInfo(20, 0, 0, 1));
    quira.cardInfo.ok = false;
    LevelRecorder view;
    RegisterRenewing(LevelEngine::kGlobalMeter, Stereo(4, 0, 0), view);
    EXPECT_EQ(rate, kRateNoCard);
    EXPECT_FALSE(AnySlotActive());

    quira.cardInfo.ok = true;
    engine->Poll();
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(rate, kRateSingle);
    EXPECT_EQ(selection.cardKind, 1);
    view.calls.clear();
    engine->Poll();
    engine->Poll();
    EXPECT_EQ(restarts, 1);
    ASSERT_EQ(view.calls.size(), 18u);
    view.calls.resize(9);
    ExpectPairs(view, 0, {0, 1, 2, 3, 8, 9, 10, 11, 12}, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(view.told.empty());
}

TEST_F(RenewingTest, CardPluggedInAfterTheRegistrationIsMeteredWithItsLayout) {
    LevelRecorder view;
    RegisterRenewing(LevelEngine::kStereoMeter, Stereo(3, 0, 4), view);
    engine->Poll();
    EXPECT_EQ(restarts, 0);
    EXPECT_TRUE(view.calls.empty());

    Plug(3, fake::KestrelInfo(20, kStatusDoubleSpeed, 0, 1));
    engine->Poll();
    EXPECT_EQ(restarts, 1);
    view.calls.clear();
    engine->Poll();
    // Logical pair 4 of a double-speed Quira is driver pair 8, not the 4 an absent card maps.
    ExpectPairs(view, 0, {8}, {0});
    EXPECT_EQ(restarts, 1);
}

TEST_F(RenewingTest, AProbePastItsDeadlineKeepsTheKindTheCardLastAnsweredWith) {
    // Regression: on a loaded machine a probe that missed its deadline made the card absent
    // to its window, whose layout shrank to an empty meter and moved the window.
    fake::Device& quira = Plug(4, fake::KestrelInfo(20, 0, 0, 1));
    quira.cardInfo.ok = false;
    ChannelSelection unknown = Stereo(4, 0, 0);
    engine->ProbeSelectionCard(unknown);
    EXPECT_EQ(unknown.cardKind, kNoCardKind);

    quira.cardInfo.ok = true;
    LevelRecorder view;
    RegisterRenewing(LevelEngine::kGlobalMeter, Stereo(4, 0, 0), view);
    ASSERT_EQ(selection.cardKind, 1);
    engine->Poll();
    quira.cardInfo.ok = false;
    ChannelSelection probed = Stereo(4, 0, 0);
    engine->ProbeSelectionCard(probed);
    EXPECT_EQ(probed.rateCode, kRateNoCard);
    EXPECT_EQ(probed.cardKind, 1);
    // A registration whose probe misses still subscribes the card's pairs.
    engine->UnregisterView(&view);
    selection = Stereo(4, 0, 0);
    engine->RegisterView(LevelEngine::kGlobalMeter, selection, &view);
    EXPECT_EQ(selection.cardKind, 1);
    EXPECT_TRUE(AnySlotActive());
}

TEST_F(LevelEngineTest, CardThatStopsAnsweringIsToldAfterThreePollsOnce) {
    fake::Device& card = Plug(0, fake::MadiInfo());
    LevelRecorder view, other;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), view);
    Register(LevelEngine::kStereoMeter, Stereo(1, 0, 0), other); // no card in slot 1
    engine->Poll();
    card.present = false;
    for (int poll = 1; poll < LevelEngine::kMissedPollsUntilSilent; ++poll)
        engine->Poll();
    // One probe past its deadline on a busy machine is not a card that went away.
    EXPECT_TRUE(view.told.empty());
    engine->Poll();
    EXPECT_EQ(view.told, std::vector<bool>{false});
    engine->Poll();
    engine->Poll();
    EXPECT_EQ(view.told, std::vector<bool>{false});
    EXPECT_EQ(view.calls.size(), 1u);
    // Registered while its card was absent: it never was told it answers.
    EXPECT_TRUE(other.told.empty());

    card.present = true;
    engine->Poll();
    EXPECT_EQ(view.told, (std::vector<bool>{false, true}));
    EXPECT_EQ(view.calls.size(), 2u);
    EXPECT_EQ(restarts, 0);
}

TEST_F(LevelEngineTest, ShortGapsInTheAnswersAreNotTold) {
    fake::Device& card = Plug(3, fake::KestrelInfo());
    LevelRecorder view;
    Register(LevelEngine::kMultiChannelMeter, Group(3, 0, 0), view);
    for (int round = 0; round < 3; ++round) {
        card.present = false;
        for (int poll = 1; poll < LevelEngine::kMissedPollsUntilSilent; ++poll)
            engine->Poll();
        card.present = true;
        engine->Poll();
    }
    EXPECT_TRUE(view.told.empty());
}

TEST_F(LevelEngineTest, CardBackInAnotherSpeedAsksForARestartInsteadOfAnswering) {
    fake::Device& card = Plug(5, fake::KestrelInfo());
    LevelRecorder view;
    Register(LevelEngine::kStereoMeter, Stereo(5, 1, 0), view);
    card.present = false;
    for (int poll = 0; poll < LevelEngine::kMissedPollsUntilSilent; ++poll)
        engine->Poll();
    card.present = true;
    card.cardInfo.bytes = fake::KestrelInfo(150, kStatusDoubleSpeed);
    engine->Poll();
    EXPECT_EQ(view.told, std::vector<bool>{false});
    EXPECT_EQ(restarts, 1);
}

TEST_F(LevelEngineTest, UnregisteredViewIsToldNothing) {
    fake::Device& card = Plug(0, fake::MadiInfo());
    LevelRecorder view;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), view);
    engine->UnregisterView(&view);
    card.present = false;
    for (int poll = 0; poll < 2 * LevelEngine::kMissedPollsUntilSilent; ++poll)
        engine->Poll();
    card.present = true;
    card.cardInfo.bytes = fake::MadiInfo(kStatusDoubleSpeed);
    engine->Poll();
    EXPECT_TRUE(view.told.empty());
    EXPECT_EQ(restarts, 0);
}

TEST_F(LevelEngineTest, ListenerToldSilentMayUnregisterItselfAndOthers) {
    fake::Device& card = Plug(0, fake::MadiInfo());
    struct Leaving final : LevelListener {
        void OnLevelReport(const LevelReport&, int32_t) override {}
        void OnCardAnswering(bool) override { leave(); }
        std::function<void()> leave;
    } leaving;
    LevelRecorder first, second, third;
    ChannelSelection selection = Stereo(0, 0, 3);
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &leaving);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), first);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 1), second);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 2), third);
    leaving.leave = [&] {
        engine->UnregisterView(&leaving);
        engine->UnregisterView(&second);
    };
    card.present = false;
    // One poll more: a listener skipped while the others left is told by the next one.
    for (int poll = 0; poll <= LevelEngine::kMissedPollsUntilSilent; ++poll)
        engine->Poll();
    EXPECT_EQ(first.told, std::vector<bool>{false});
    EXPECT_TRUE(second.told.empty());
    EXPECT_EQ(third.told, std::vector<bool>{false});
}

TEST_F(LevelEngineTest, AnyCardAnswersFollowsTheLatestProbes) {
    EXPECT_FALSE(engine->AnyCardAnswers());
    fake::Device& other = Plug(4, fake::KestrelInfo());
    LevelRecorder view;
    // A registration its card does not answer looks at the other slots at once.
    Register(LevelEngine::kStereoMeter, Stereo(2, 0, 0), view);
    EXPECT_TRUE(engine->AnyCardAnswers());
    other.present = false;
    engine->Poll();
    EXPECT_FALSE(engine->AnyCardAnswers());
    Plug(2, fake::MadiInfo());
    engine->Poll();
    EXPECT_TRUE(engine->AnyCardAnswers());
}

TEST_F(LevelEngineTest, ListenerToldSilentSeesWhetherAnyOtherCardStillAnswers) {
    fake::Device& first = Plug(0, fake::MadiInfo());
    fake::Device& last = Plug(5, fake::KestrelInfo());
    std::vector<bool> anyWhenTold;
    struct Asking final : LevelListener {
        void OnLevelReport(const LevelReport&, int32_t) override {}
        void OnCardAnswering(bool) override { ask(); }
        std::function<void()> ask;
    } asking;
    asking.ask = [&] { anyWhenTold.push_back(engine->AnyCardAnswers()); };
    ChannelSelection selection = Stereo(0, 0, 1);
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &asking);
    // The whole driver goes: card 5 is probed after card 0 in the same poll.
    first.present = false;
    last.present = false;
    for (int poll = 0; poll < LevelEngine::kMissedPollsUntilSilent; ++poll)
        engine->Poll();
    EXPECT_EQ(anyWhenTold, std::vector<bool>{false});
}

TEST_F(LevelEngineTest, ListenerThatUnregistersItselfIsSkippedAfterwards) {
    Plug(0, fake::MadiInfo());
    LevelRecorder leaving, staying;
    Register(LevelEngine::kMultiChannelMeter, Group(0, 0, 0), leaving);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), staying);
    leaving.during = [&](const LevelReport&, int32_t) { engine->UnregisterView(&leaving); };
    engine->Poll();
    EXPECT_EQ(leaving.calls.size(), 1u); // pairs 1..3 are skipped in the same poll
    EXPECT_EQ(staying.calls.size(), 1u);
    engine->Poll();
    EXPECT_EQ(leaving.calls.size(), 1u);
    EXPECT_EQ(staying.calls.size(), 2u);
}

TEST_F(LevelEngineTest, ListenerThatUnregistersALaterOneSkipsIt) {
    Plug(0, fake::MadiInfo());
    LevelRecorder first, second;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), first);
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), second);
    first.during = [&](const LevelReport&, int32_t) { engine->UnregisterView(&second); };
    engine->Poll();
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_TRUE(second.calls.empty());
}

TEST_F(LevelEngineTest, WithoutViewsAPollOnlyProbesTheSixSlots) {
    for (int slot = 0; slot < kCardSlots; ++slot)
        Plug(slot, slot < kMadiSlots ? fake::MadiInfo() : fake::KestrelInfo());
    engine->Poll();
    EXPECT_EQ(transport.requests, kCardSlots);
    for (int slot = 0; slot < kCardSlots; ++slot)
        EXPECT_EQ(transport.At(slot).cardInfoRequests, 1);
    EXPECT_EQ(transport.LevelRequests(), 0);
}

TEST_F(LevelEngineTest, ReadsEachAnsweringCardOncePerPoll) {
    fake::Device& madi = Plug(0, fake::MadiInfo());
    fake::Device& kestrel = Plug(5, fake::KestrelInfo());
    LevelRecorder view;
    Register(LevelEngine::kStereoMeter, Stereo(0, 0, 0), view);
    Register(LevelEngine::kGlobalMeter, Stereo(0, 1, 0), view);
    Register(LevelEngine::kStereoMeter, Stereo(0, 2, 30), view);
    Register(LevelEngine::kMultiChannelMeter, Group(5, 2, 1), view);
    engine->Poll();
    engine->Poll();
    EXPECT_EQ(madi.levelRequests, 2);
    EXPECT_EQ(kestrel.levelRequests, 2);

    const uint8_t request[kLevelRequestSize] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (const fake::Device* card : {&madi, &kestrel}) {
        EXPECT_EQ(card->lastInSize, kLevelRequestSize);
        EXPECT_TRUE(std::equal(request, request + kLevelRequestSize, card->lastIn.begin()));
        EXPECT_TRUE(card->outZeroedAtLastRequest);
    }
    EXPECT_EQ(madi.lastOutSize, kMadiLayout.size);
    EXPECT_EQ(kestrel.lastOutSize, kKestrelLayout.size);
}

struct FailedRead {
    const char* what;
    friend void PrintTo(const FailedRead& c, std::ostream* os) { *os << c.what; }
    int slot;
    void (*spoil)(fake::Reply&);
};

class FailedReadTest : public LevelEngineTest, public testing::WithParamInterface<FailedRead> {};

TEST_P(FailedReadTest, ReportsSilence) {
    const int slot = GetParam().slot;
    fake::Device& card = Plug(slot, slot < kMadiSlots ? fake::MadiInfo() : fake::KestrelInfo());
    card.levels.bytes.assign(LayoutForSlot(slot).size, 0xFF);
    GetParam().spoil(card.levels);
    LevelRecorder view;
    Register(LevelEngine::kGlobalMeter, Stereo(slot, 2, 0), view);
    engine->Poll();
    ASSERT_FALSE(view.calls.empty());
    for (const LevelRecorder::Call& call : view.calls) {
        EXPECT_EQ(call.report.fscCountA, 0);
        EXPECT_EQ(call.report.fscCountB, 0);
        EXPECT_EQ(call.report.peakA, 0.0);
        EXPECT_EQ(call.report.peakB, 0.0);
        EXPECT_EQ(call.report.meanSquareA, 0.0);
        EXPECT_EQ(call.report.meanSquareB, 0.0);
    }
}

void Refuse(fake::Reply& reply) {
    reply.ok = false;
}
void Shorten(fake::Reply& reply) {
    reply.bytes.resize(reply.bytes.size() - 16);
}
void Overclaim(fake::Reply& reply) {
    reply.claimedBytes = 100000;
}
void Empty(fake::Reply& reply) {
    reply.bytes.clear();
}

INSTANTIATE_TEST_SUITE_P(Families, FailedReadTest,
                         testing::Values(FailedRead{"madi refused", 1, Refuse},
                                         FailedRead{"kestrel refused", 4, Refuse},
                                         FailedRead{"madi short", 0, Shorten},
                                         FailedRead{"kestrel short", 3, Shorten},
                                         FailedRead{"madi overclaimed", 2, Overclaim},
                                         FailedRead{"kestrel overclaimed", 5, Overclaim},
                                         FailedRead{"madi no reply", 0, Empty},
                                         FailedRead{"kestrel no reply", 3, Empty}),
                         CaseName<FailedRead>);

TEST_F(LevelEngineTest, ConvertsPeakWordsAndMeanSquares) {
    fake::Device& card = Plug(0, fake::MadiInfo());
    const int64_t fullScale = int64_t{2147483392} * 2147483392;
    card.levels.bytes = fake::LevelBlock(kMadiLayout)
                            .Peak(1, 4, 0xFFFFFFFFu)
                            .Peak(1, 5, 0x800000F5u)
                            .MeanSquare(1, 4, fullScale)
                            .MeanSquare(1, 5, -fullScale)
                            .Bytes();
    LevelRecorder view;
    Register(LevelEngine::kStereoMeter, Stereo(0, 1, 2), view);
    engine->Poll();
    ASSERT_EQ(view.calls.size(), 1u);
    const LevelReport& report = view.calls[0].report;
    EXPECT_EQ(report.fscCountA, 15);
    EXPECT_DOUBLE_EQ(report.peakA, 0x7FFFFF00u * 4.656612873077393e-10);
    EXPECT_NEAR(report.peakA, 0.99999988, 1e-8);
    EXPECT_NEAR(report.meanSquareA, 1.0, 1e-12);
    EXPECT_EQ(report.fscCountB, 5);
    EXPECT_EQ(report.peakB, 0.0); // bits 4..7 and 31 carry no level
    EXPECT_EQ(report.meanSquareB, 0.0);
}

TEST_F(LevelEngineTest, PairsBeyondTheFamilysChannelsAreSilent) {
    for (int slot : {2, 5}) {
        fake::Device& card = Plug(slot, slot < kMadiSlots ? fake::MadiInfo() : fake::KestrelInfo());
        card.levels.bytes.assign(LayoutForSlot(slot).size, 0xFF);
    }
    LevelRecorder madi, kestrel, lastKestrelPair;
    Register(LevelEngine::kStereoMeter, Stereo(2, 2, 32), madi);
    Register(LevelEngine::kStereoMeter, Stereo(5, 2, 63), kestrel);
    Register(LevelEngine::kStereoMeter, Stereo(5, 2, 12), lastKestrelPair);
    engine->Poll();
    ASSERT_EQ(madi.calls.size(), 1u);
    ASSERT_EQ(kestrel.calls.size(), 1u);
    EXPECT_EQ(madi.calls[0].report.peakA, 0.0);
    EXPECT_EQ(madi.calls[0].report.meanSquareB, 0.0);
    EXPECT_EQ(kestrel.calls[0].report.fscCountB, 0);
    EXPECT_EQ(kestrel.calls[0].report.meanSquareB, 0.0);
    ASSERT_EQ(lastKestrelPair.calls.size(), 1u);
    EXPECT_EQ(lastKestrelPair.calls[0].report.fscCountB, 15); // channel 25 is still read
}

class CountingPollDriver final : public PollDriver {
public:
    void Start(LevelEngine& engine) override {
        ++starts;
        started = &engine;
    }
    void Stop() override { ++stops; }

    int starts = 0;
    int stops = 0;
    LevelEngine* started = nullptr;
};

TEST(LevelEngineTicks, FirstRegistrationStartsPollingAndSetsTheLastTick) {
    fake::FakeTransport transport;
    transport.AddCard(0, fake::MadiInfo());
    ManualTickSource ticks(100000);
    CountingPollDriver driver;
    {
        auto engine = std::make_unique<LevelEngine>(transport, ticks, &driver);
        EXPECT_EQ(driver.starts, 0);
        LevelRecorder view;
        ticks.Set(200000);
        ChannelSelection selection = Stereo(0, 0, 0);
        engine->RegisterView(LevelEngine::kStereoMeter, selection, &view);
        engine->RegisterView(LevelEngine::kStereoMeter, selection, &view);
        EXPECT_EQ(driver.starts, 1);
        EXPECT_EQ(driver.started, engine.get());

        ticks.Advance(20);
        engine->Poll();
        ASSERT_EQ(view.calls.size(), 2u);
        EXPECT_DOUBLE_EQ(view.calls[0].report.elapsed, 0.020);
        EXPECT_EQ(driver.stops, 0);
    }
    EXPECT_EQ(driver.stops, 1);
}

TEST(LevelEngineTicks, EngineNeverRegisteredNeverStartsOrStops) {
    fake::FakeTransport transport;
    ManualTickSource ticks;
    CountingPollDriver driver;
    auto engine = std::make_unique<LevelEngine>(transport, ticks, &driver);
    engine->Poll();
    engine.reset();
    EXPECT_EQ(driver.starts, 0);
    EXPECT_EQ(driver.stops, 0);
}

} // namespace
