#include "dialogs/channel_setup_dialog.h"

#include "device/card_probe.h"
#include "device/control_device.h"
#include "dialog_test_support.h"
#include "dialogs/modal_run.h"
#include "driver/in_process_transport.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>

#include <cstring>

namespace {

constexpr int kMadi = 7;

QStringList Items(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

ChannelSelection Selection(int32_t card, int32_t pair, int32_t group, int32_t bus) {
    ChannelSelection selection;
    selection.CardNumber = card;
    selection.ChanNumber = pair;
    selection.GroupNumber = group;
    selection.BusType = bus;
    return selection;
}

bool SameSelection(const ChannelSelection& a, const ChannelSelection& b) {
    return a.CardNumber == b.CardNumber && a.ChanNumber == b.ChanNumber &&
           a.GroupNumber == b.GroupNumber && a.BusType == b.BusType && a.cardKind == b.cardKind &&
           a.accepted == b.accepted && a.rateCode == b.rateCode;
}

class ChannelSetupDialogTest : public testing::Test {
protected:
    // Opens the dialog on `selection` and shows it.
    ChannelSetupDialog& Open() {
        dialog_ = std::make_unique<ChannelSetupDialog>(device_, selection_);
        dialog_->show();
        return *dialog_;
    }
    QListWidget& Cards() const { return *FindControl<QListWidget>(*dialog_, kIdCardList); }
    QComboBox& Pairs() const { return *FindControl<QComboBox>(*dialog_, kIdPairList); }
    QComboBox& Groups() const { return *FindControl<QComboBox>(*dialog_, kIdGroupList); }
    QRadioButton& Bus(int id) const { return *FindControl<QRadioButton>(*dialog_, id); }
    void ClickBus(int id) const {
        QRadioButton& button = Bus(id);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
    }
    std::vector<bool> BusChecks() const {
        return {Bus(kIdInputBus).isChecked(), Bus(kIdPlaybackBus).isChecked(),
                Bus(kIdOutputBus).isChecked()};
    }

    void Plug(int slot, int kind, sim::Speed speed = sim::Speed::Single) {
        std::string error;
        ASSERT_TRUE(cards_.Driver().PlugNew(slot, kind, speed, error)) << error;
    }
    void Unplug(int slot) {
        std::string error;
        ASSERT_TRUE(cards_.Driver().Unplug(slot, error)) << error;
    }

    InProcessTransport cards_{sim::DriverConfig{}};
    ControlDevice device_{cards_};
    ChannelSelection selection_;
    std::unique_ptr<ChannelSetupDialog> dialog_;
};

TEST_F(ChannelSetupDialogTest, ListsMadiCardsFirstThenKestrelCardsNumberedByFamily) {
    Plug(3, 6);
    Plug(0, kMadi);
    Open();
    EXPECT_EQ(Lines(Cards()), QStringList({"Kestrel Orvo (1)", "Kestrel Tamsa (1)"}));
}

TEST_F(ChannelSetupDialogTest, SkipsSlotsThatDoNotAnswerAndNamesEveryModel) {
    Plug(2, kMadi);
    Plug(4, 0);
    Plug(5, 1);
    Open();
    EXPECT_EQ(Lines(Cards()),
              QStringList({"Kestrel Orvo (3)", "Kestrel Zento (2)", "Kestrel Quira (3)"}));
}

class KestrelModelNameTest : public ChannelSetupDialogTest,
                             public testing::WithParamInterface<std::pair<int, const char*>> {};

TEST_P(KestrelModelNameTest, NamesTheKind) {
    Plug(4, GetParam().first);
    Open();
    EXPECT_EQ(Lines(Cards()), QStringList({GetParam().second}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds0To6, KestrelModelNameTest,
    testing::Values(std::pair{0, "Kestrel Zento (2)"}, std::pair{1, "Kestrel Quira (2)"},
                    std::pair{2, "Kestrel Bello (2)"}, std::pair{3, "Kestrel Bello (2)"},
                    std::pair{4, "Kestrel Bello (2)"}, std::pair{5, "Kestrel Bello (2)"},
                    std::pair{6, "Kestrel Tamsa (2)"}));

TEST_F(ChannelSetupDialogTest, SelectsTheWindowsCardAndFillsItsLists) {
    Plug(0, kMadi);
    Plug(3, 1);
    selection_ = Selection(3, 4, 1, 1);
    Open();
    EXPECT_EQ(Cards().currentRow(), 1);
    EXPECT_EQ(Items(Pairs()), QStringList({"AN 1+2", "AN 3+4", "AN 5+6", "AN 7+8", "ADAT 1+2",
                                           "ADAT 3+4", "ADAT 5+6", "ADAT 7+8", "SPDIF"}));
    EXPECT_EQ(Pairs().currentText(), "ADAT 1+2");
    EXPECT_EQ(Items(Groups()), QStringList({"ANALOG", "ADAT"}));
    EXPECT_EQ(Groups().currentIndex(), 1);
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, true, false}));
}

TEST_F(ChannelSetupDialogTest, NoLineIsSelectedWhenTheWindowsCardDoesNotAnswer) {
    Plug(3, 0);
    selection_ = Selection(1, 0, 0, 0);
    Open();
    EXPECT_EQ(Cards().count(), 1);
    EXPECT_EQ(Cards().currentRow(), -1);
    EXPECT_EQ(Pairs().count(), 0);
}

TEST_F(ChannelSetupDialogTest, WithoutCardsEverythingIsEmptyAndOkWritesMinusOne) {
    selection_ = Selection(3, 12, 2, 0);
    Open();
    EXPECT_EQ(Cards().count(), 0);
    EXPECT_EQ(Pairs().count(), 0);
    EXPECT_EQ(Groups().count(), 0);
    ClickButton(*dialog_, kIdOk);
    EXPECT_EQ(selection_.accepted, 1);
    EXPECT_EQ(selection_.ChanNumber, -1);
    EXPECT_EQ(selection_.GroupNumber, -1);
    EXPECT_EQ(selection_.cardKind, -1);
    EXPECT_EQ(selection_.rateCode, 0);
}

TEST_F(ChannelSetupDialogTest, SwitchingToACardWithFewerPairsSelectsItsLastPair) {
    Plug(3, 0);
    Plug(4, 2);
    selection_ = Selection(3, 12, 0, 0);
    Open();
    ASSERT_EQ(Pairs().currentText(), "SPDIF");
    ClickItem(Cards(), 1);
    EXPECT_EQ(Pairs().count(), 6);
    EXPECT_EQ(Pairs().currentIndex(), 5);
    EXPECT_EQ(dialog_->workingCopy().ChanNumber, 5);
    EXPECT_EQ(dialog_->workingCopy().cardKind, 2);
}

TEST_F(ChannelSetupDialogTest, TheKeptPairComesBackOnACardThatHasIt) {
    Plug(3, 0);
    Plug(4, 2);
    selection_ = Selection(3, 3, 0, 0);
    Open();
    ClickItem(Cards(), 1);
    ClickItem(Cards(), 0);
    EXPECT_EQ(Pairs().currentText(), "ADAT1 7+8");
}

TEST_F(ChannelSetupDialogTest, KindFourOffersSixPairsOnInputAndEightOnOutput) {
    Plug(3, 0);
    Plug(5, 4);
    selection_ = Selection(3, 7, 1, 0);
    Open();
    ClickItem(Cards(), 1);
    EXPECT_EQ(Pairs().count(), 6);
    EXPECT_EQ(Pairs().currentIndex(), 5);
    EXPECT_EQ(Groups().currentIndex(), 1);
    EXPECT_EQ(Groups().currentText(), "SPDIF+ANALOG");

    ClickBus(kIdOutputBus);
    EXPECT_EQ(dialog_->workingCopy().BusType, 2);
    EXPECT_EQ(Pairs().count(), 8);
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, false, true}));
    EXPECT_EQ(Groups().currentIndex(), 1);
}

TEST_F(ChannelSetupDialogTest, ClickingTheCheckedBusKeepsItChecked) {
    Plug(3, 0);
    selection_ = Selection(3, 0, 0, 2);
    Open();
    ClickBus(kIdOutputBus);
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, false, true}));
}

TEST_F(ChannelSetupDialogTest, ABusOutsideTheThreeChecksNoButton) {
    Plug(3, 0);
    selection_ = Selection(3, 0, 0, 5);
    Open();
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, false, false}));
    ClickBus(kIdPlaybackBus);
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, true, false}));
}

TEST_F(ChannelSetupDialogTest, ChoosingACardAfterAMissingOneSelectsItsFirstPairAndGroup) {
    Plug(4, 0);
    selection_ = Selection(3, 2, 1, 0);
    Open();
    ASSERT_EQ(dialog_->workingCopy().ChanNumber, -1);
    ClickItem(Cards(), 0);
    EXPECT_EQ(Pairs().currentIndex(), 0);
    EXPECT_EQ(Groups().currentIndex(), 0);
    EXPECT_EQ(dialog_->workingCopy().ChanNumber, 0);
    EXPECT_EQ(dialog_->workingCopy().GroupNumber, 0);
}

TEST_F(ChannelSetupDialogTest, ACardThatStopsAnsweringEmptiesTheListsAtTheNextRefresh) {
    Plug(3, 0);
    selection_ = Selection(3, 0, 0, 0);
    Open();
    Unplug(3);
    ClickBus(kIdPlaybackBus);
    EXPECT_EQ(Pairs().count(), 0);
    EXPECT_EQ(Groups().count(), 0);
    EXPECT_EQ(dialog_->workingCopy().cardKind, -1);
}

TEST_F(ChannelSetupDialogTest, ChoosingPairAndGroupInTheListsChangesTheWorkingCopy) {
    Plug(0, kMadi);
    selection_ = Selection(0, 0, 0, 0);
    Open();
    EXPECT_EQ(Groups().count(), 29);
    QTest::keyClick(&Pairs(), Qt::Key_Down);
    QTest::keyClick(&Groups(), Qt::Key_End);
    EXPECT_EQ(dialog_->workingCopy().ChanNumber, 1);
    EXPECT_EQ(dialog_->workingCopy().GroupNumber, 28);
    EXPECT_EQ(Groups().currentText(), "57+58");
}

TEST_F(ChannelSetupDialogTest, CancelAfterChangingEverythingKeepsTheSelection) {
    Plug(0, kMadi, sim::Speed::Double);
    Plug(3, 0);
    selection_ = Selection(3, 12, 2, 0);
    selection_.accepted = 1;
    Open();
    ClickItem(Cards(), 0);
    ClickBus(kIdOutputBus);
    QTest::keyClick(&Pairs(), Qt::Key_Down);
    QTest::keyClick(&Groups(), Qt::Key_Down);
    const ChannelSelection before = Selection(3, 12, 2, 0);
    ClickButton(*dialog_, kIdCancel);
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    EXPECT_TRUE(SameSelection(selection_, before));
}

TEST_F(ChannelSetupDialogTest, DoubleClickOnACardEndsAsOkWithThatCard) {
    Plug(1, kMadi, sim::Speed::Double);
    Plug(5, 3);
    selection_ = Selection(5, 20, 0, 2);
    Open();
    DoubleClickItem(Cards(), 0);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    EXPECT_EQ(selection_.accepted, 1);
    EXPECT_EQ(selection_.CardNumber, 1);
    EXPECT_EQ(selection_.cardKind, kMadi);
    EXPECT_EQ(selection_.rateCode, kRateDouble);
    EXPECT_EQ(selection_.BusType, 2);
    EXPECT_EQ(selection_.ChanNumber, 5); // clamped at opening: kind 3 has six Output pairs
}

TEST_F(ChannelSetupDialogTest, HelpButtonAndF1ShowTheChannelSetupTopic) {
    Plug(3, 0);
    Open();
    HideHelp();
    ClickButton(*dialog_, kIdHelp);
    EXPECT_TRUE(HelpShows(232));
    EXPECT_TRUE(dialog_->isVisible());

    HideHelp();
    ASSERT_TRUE(ShowActive(*dialog_));
    QTest::keyClick(&Pairs(), Qt::Key_F1);
    EXPECT_TRUE(HelpShows(232));
}

// Regression: the dialog opened with the focus on Cancel, and each bus button was a tab stop
// of its own.
TEST_F(ChannelSetupDialogTest, FocusStartsOnOkAndTheBusButtonsAreOneTabStop) {
    Plug(3, 0);
    selection_ = Selection(3, 0, 0, 1);
    Open();
    ASSERT_TRUE(ShowActive(*dialog_));
    auto* ok = FindControl<QWidget>(*dialog_, kIdOk);
    EXPECT_TRUE(QTest::qWaitFor([ok] { return ok->hasFocus(); }))
        << QApplication::focusWidget()->objectName().toStdString();
    // Tab walks the template's order once round, meeting only the checked bus button.
    QStringList stops;
    for (int i = 0; i < 10 && (stops.isEmpty() || !ok->hasFocus()); ++i) {
        stops << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(stops, QStringList({"1", "2", "1090", "1074", "1128", "1125", "1126"}));
    // Arrow keys move inside the group and choose the bus as they go.
    Bus(kIdPlaybackBus).setFocus();
    QTest::keyClick(&Bus(kIdPlaybackBus), Qt::Key_Down);
    EXPECT_TRUE(Bus(kIdOutputBus).hasFocus());
    EXPECT_EQ(BusChecks(), std::vector<bool>({false, false, true}));
    EXPECT_EQ(dialog_->workingCopy().BusType, 2);
    QTest::keyClick(&Bus(kIdOutputBus), Qt::Key_Up);
    QTest::keyClick(&Bus(kIdPlaybackBus), Qt::Key_Up);
    EXPECT_EQ(dialog_->workingCopy().BusType, 0);
    // Now Input is the group's tab stop.
    Cards().setFocus();
    QTest::keyClick(&Cards(), Qt::Key_Tab);
    EXPECT_TRUE(Bus(kIdInputBus).hasFocus());
}

TEST_F(ChannelSetupDialogTest, RunChannelSetupRunsTheDialogOnTheSelection) {
    Plug(3, 0);
    Plug(4, 6);
    selection_ = Selection(3, 0, 0, 0);
    const ScopedModalRunner runner([](QDialog& dialog) {
        dialog.show();
        ClickItem(*FindControl<QListWidget>(dialog, kIdCardList), 1);
        ClickButton(dialog, kIdOk);
        return dialog.result();
    });
    RunChannelSetup(device_, selection_);
    EXPECT_EQ(selection_.accepted, 1);
    EXPECT_EQ(selection_.CardNumber, 4);
    EXPECT_EQ(selection_.cardKind, 6);
}

// Answers for the cards of `inner`, labelling slot 0 as the driver labels a graph card.
class LabellingTransport final : public DriverTransport {
public:
    explicit LabellingTransport(DriverTransport& inner) : inner_(inner) {}
    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override {
        bool ok = inner_.Request(deviceName, code, in, inSize, out, outSize, bytesReturned);
        if (ok && code == driver_protocol::IOCTL_CARD_INFO &&
            std::string(deviceName) == "\\\\.\\madiOut0")
            std::memcpy(static_cast<uint8_t*>(out) + driver_protocol::kLabelOffset, "JACK graph",
                        10);
        return ok;
    }

private:
    DriverTransport& inner_;
};

TEST_F(ChannelSetupDialogTest, NamesTheCardThatALiveGraphFeeds) {
    Plug(0, kMadi);
    Plug(1, kMadi);
    LabellingTransport labelling(cards_);
    ControlDevice device(labelling);
    ChannelSetupDialog dialog(device, selection_);
    EXPECT_EQ(Lines(*FindControl<QListWidget>(dialog, kIdCardList)),
              QStringList({"Kestrel Orvo (1) - JACK graph", "Kestrel Orvo (2)"}));
}

} // namespace
