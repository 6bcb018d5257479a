#include "shell_fixture.h"

#include "app/command_ids.h"
#include "meters/not_live_drawing.h"
#include "meters/vexa_level2_view.h"
#include "meters/vexa_level8_view.h"

#include <QLabel>

namespace {

constexpr int kStereo = 0;
constexpr int kMulti = 1;
constexpr int kGlobal = 2;
constexpr int kZentoSlot = 3;

// Windows whose card comes, goes and comes back, driven poll by poll.
class LiveStateTest : public ShellTest {
protected:
    explicit LiveStateTest(const char* cards = kCards) : ShellTest(cards) {}

    // The first window shows `function` on the Zento card in slot 3, input bus.
    void StartWith(int function) {
        profile.WriteInt("Workspace\\Frame0", "SWType", function);
        profile.WriteInt("Workspace\\Frame0", "CardNumber", kZentoSlot);
        profile.WriteInt("Workspace\\Frame0", "ChanNumber", 0);
        profile.WriteInt("Workspace\\Frame0", "GroupNumber", 0);
        Start();
        ASSERT_TRUE(app->InitInstance(""));
        Frame(0)->show();
        QCoreApplication::processEvents();
    }

    void Poll(int times = 1) {
        for (int i = 0; i < times; ++i) {
            ticks.Advance(20);
            engine.Poll();
        }
    }
    void Unplug(int slot) {
        std::string error;
        ASSERT_TRUE(transport.Driver().Unplug(slot, error)) << error;
    }
    void Plug(int slot) {
        std::string error;
        ASSERT_TRUE(transport.Driver().Plug(slot, error)) << error;
    }

    CVexaMeterView* View() const { return dynamic_cast<CVexaMeterView*>(Doc(0)->MeterView()); }
    QString RatePane() const { return Frame(0)->findChild<QLabel*>("59143")->text(); }
    bool Checked(int id) const {
        Frame(0)->UpdateCommandUi();
        return Frame(0)->Action(id)->isChecked();
    }
    bool Registered() const {
        for (int i = 0; i < LevelEngine::kSlots; ++i) {
            for (const LevelListener* listener : engine.Slot(i).listeners) {
                if (listener == View())
                    return true;
            }
        }
        return false;
    }
    std::span<const MeterColumn> Columns() const {
        if (auto* stereo = dynamic_cast<CVexaLevel2View*>(View()))
            return stereo->MeterColumns();
        return dynamic_cast<CVexaLevel8View*>(View())->MeterColumns();
    }
    // Enabled columns whose bar shows the grey of a meter without levels, low in the bar
    // where the message box does not reach.
    int GreyBars() const {
        int grey = 0;
        for (const MeterColumn& c : Columns()) {
            const QColor low =
                View()->Image().pixelColor(c.centerX, (c.bar.top + 3 * c.bar.bottom) / 4);
            grey += c.enabled && FromQColor(low) == kNotLiveBarColor;
        }
        return grey;
    }
    int EnabledColumns() const {
        int enabled = 0;
        for (const MeterColumn& c : Columns())
            enabled += c.enabled != 0;
        return enabled;
    }
    // Whether the message box stands in the middle: a white run across the centre of a row
    // in the middle half of the client area.
    bool MessageShown() const {
        const QImage& image = View()->Image();
        const int centre = image.width() / 2;
        const QRgb white = qRgb(255, 255, 255);
        for (int y = image.height() / 4; y < 3 * image.height() / 4; ++y) {
            int left = centre, right = centre;
            while (left > 0 && image.pixel(left - 1, y) == white)
                --left;
            while (right < image.width() && image.pixel(right, y) == white)
                ++right;
            if (right - left >= 30)
                return true;
        }
        return false;
    }
};

class LiveStateFunctionTest : public LiveStateTest, public testing::WithParamInterface<int> {};

TEST_P(LiveStateFunctionTest, CardThatStopsAnsweringShowsNotLiveAndRecovers) {
    // Regression: an unplugged card left bars, readouts and "SR 44.1kHz" as they were.
    StartWith(GetParam());
    Poll(10);
    ASSERT_TRUE(View()->IsLive());
    ASSERT_EQ(RatePane(), "SR 44.1kHz");
    ASSERT_GT(EnabledColumns(), 0);
    EXPECT_EQ(GreyBars(), 0);

    Unplug(kZentoSlot);
    Poll(LevelEngine::kMissedPollsUntilSilent);
    EXPECT_EQ(RatePane(), "No card answers");
    EXPECT_FALSE(View()->IsLive());
    EXPECT_EQ(GreyBars(), EnabledColumns());
    EXPECT_TRUE(MessageShown());
    for (const MeterColumn& c : Columns())
        EXPECT_EQ(c.ballistics.peak, 0);
    // The check mark still says what the window does: it runs and waits for its card.
    EXPECT_TRUE(Checked(cmd::kActivateLevelProcessing));

    Plug(kZentoSlot);
    Poll();
    EXPECT_EQ(RatePane(), "SR 44.1kHz");
    EXPECT_TRUE(View()->IsLive());
    EXPECT_EQ(GreyBars(), 0);
    EXPECT_FALSE(MessageShown());
}

INSTANTIATE_TEST_SUITE_P(Functions, LiveStateFunctionTest,
                         testing::Values(kStereo, kMulti, kGlobal),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == kStereo  ? "stereo"
                                                : info.param == kMulti ? "multi"
                                                                       : "global");
                         });

TEST_F(LiveStateTest, StoppedWindowKeepsWhatItShowedWhenItsCardGoes) {
    StartWith(kStereo);
    Poll(10);
    Frame(0)->RouteCommand(cmd::kActivateLevelProcessing);
    Unplug(kZentoSlot);
    Poll(2 * LevelEngine::kMissedPollsUntilSilent);
    EXPECT_EQ(RatePane(), "No Device running");
    EXPECT_TRUE(View()->IsLive());
    EXPECT_EQ(GreyBars(), 0);
}

class LateCardTest : public LiveStateTest {
protected:
    LateCardTest()
        : LiveStateTest("card 0 kind 7 speed single\n"
                        "card 3 kind 0 speed single unplugged\n") {}
};

class LateCardFunctionTest : public LateCardTest, public testing::WithParamInterface<int> {};

TEST_P(LateCardFunctionTest, WindowStartedWithoutItsCardMetersItOncePluggedIn) {
    // Regression: the speed-change restart dropped a window whose card had not answered its
    // registration, and it never metered again.
    StartWith(GetParam());
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_EQ(RatePane(), "No card answers");
    EXPECT_FALSE(View()->IsLive());
    EXPECT_TRUE(MessageShown());
    EXPECT_TRUE(Frame(0)->windowTitle().endsWith(" - Kestrel slot 1 Input"))
        << Frame(0)->windowTitle().toStdString();

    Plug(kZentoSlot);
    Poll();
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_EQ(Doc(0)->levelState.rateCode, 1);
    EXPECT_TRUE(Registered());
    EXPECT_EQ(RatePane(), "SR 44.1kHz");
    EXPECT_TRUE(View()->IsLive());
    EXPECT_GT(EnabledColumns(), 0);
    EXPECT_TRUE(Frame(0)->windowTitle().contains(" - Kestrel Zento (1) Input"))
        << Frame(0)->windowTitle().toStdString();
    const ChannelSlot& first = engine.Slot(LevelEngine::SlotIndex(kZentoSlot, 0, 0));
    EXPECT_EQ(first.listeners[0], View());
}

INSTANTIATE_TEST_SUITE_P(Functions, LateCardFunctionTest, testing::Values(kStereo, kGlobal),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == kStereo ? "stereo" : "global");
                         });

TEST_F(LateCardTest, ActivateLevelProcessingActsAsItsCheckMarkSays) {
    // Regression: with no card at registration, running and stopped were the same value, so
    // the toggle could neither stop nor start the window.
    StartWith(kStereo);
    ASSERT_TRUE(Checked(cmd::kActivateLevelProcessing));
    Frame(0)->RouteCommand(cmd::kActivateLevelProcessing);
    EXPECT_FALSE(Checked(cmd::kActivateLevelProcessing));
    EXPECT_FALSE(Registered());
    EXPECT_EQ(RatePane(), "No Device running");
    // A stopped window stays stopped when its card arrives.
    Plug(kZentoSlot);
    Poll(3);
    EXPECT_FALSE(Registered());

    Frame(0)->RouteCommand(cmd::kActivateLevelProcessing);
    EXPECT_TRUE(Checked(cmd::kActivateLevelProcessing));
    EXPECT_TRUE(Registered());
    EXPECT_EQ(RatePane(), "SR 44.1kHz");
}

class NoDriverTest : public LiveStateTest {
protected:
    NoDriverTest() : LiveStateTest("") {}
};

TEST_F(NoDriverTest, WindowSaysThatNoDriverAnswers) {
    // Regression: with no driver answering, a multi-channel or global window stayed blank.
    StartWith(kGlobal);
    EXPECT_EQ(RatePane(), "No driver answers");
    EXPECT_FALSE(View()->IsLive());
    EXPECT_EQ(EnabledColumns(), 0);
    EXPECT_TRUE(MessageShown());
}

} // namespace
