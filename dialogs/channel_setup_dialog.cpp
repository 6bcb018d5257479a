#include "dialogs/channel_setup_dialog.h"

#include "app/command_ids.h"
#include "device/card_probe.h"
#include "device/channel_names.h"
#include "device/driver_protocol.h"
#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"
#include "dialogs/modal_run.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>
#include <array>
#include <span>

namespace {

using NameQuery = bool (*)(const ChannelSelection&, std::span<char>);

constexpr int32_t kNoEntry = -1;

// A kept position that the new list does not reach becomes its last line. A position of
// "none" left by a card that did not answer becomes the first line, so that choosing an
// answering card never leaves the window on a pair or group it cannot show.
int32_t KeepWithinList(int32_t remembered, int count) {
    return count == 0 ? kNoEntry : std::clamp(remembered, 0, count - 1);
}

// Fills `combo` with the names `name` gives for the indices 0, 1, 2, ... of `selection`'s
// field `index`, then selects the remembered index, kept within the list.
void FillNames(QComboBox& combo, ChannelSelection& selection, int32_t ChannelSelection::*index,
               NameQuery name) {
    const int32_t remembered = selection.*index;
    const QSignalBlocker blocker(&combo);
    combo.clear();
    std::array<char, 20> text{};
    for (selection.*index = 0; name(selection, text); ++(selection.*index))
        combo.addItem(QString::fromLatin1(text.data()));
    selection.*index = KeepWithinList(remembered, combo.count());
    combo.setCurrentIndex(selection.*index);
}

} // namespace

ChannelSetupDialog::ChannelSetupDialog(const ControlDevice& device, ChannelSelection& selection,
                                       QWidget* parent)
    : QDialog(parent), device_(device), caller_(selection) {
    caller_.accepted = 0;
    working_ = caller_;

    DialogTemplate form(*this, QStringLiteral("Channel Setup"), 316, 82);
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {258, 12, 50, 14});
    QPushButton* cancel = form.PushButton(kIdCancel, QStringLiteral("Cancel"), {258, 31, 50, 14});
    QPushButton* help = form.PushButton(kIdHelp, QStringLiteral("Help"), {258, 48, 50, 14});
    form.GroupBox(QStringLiteral("Card Select"), {6, 6, 86, 72});
    cardList_ = form.ListBox(kIdCardList, {12, 18, 72, 54});
    form.GroupBox(QStringLiteral("Bus Select"), {97, 6, 53, 72});
    busButtons_ = {
        form.RadioButton(kIdInputBus, QStringLiteral("Input"), {102, 24, 32, 10}),
        form.RadioButton(kIdPlaybackBus, QStringLiteral("Playback"), {102, 42, 45, 10}),
        form.RadioButton(kIdOutputBus, QStringLiteral("Output"), {102, 60, 37, 10}),
    };
    form.GroupBox(QStringLiteral("Channel Select"), {156, 6, 90, 72});
    form.Static(QStringLiteral("8 Channel Meter"), {162, 18, 53, 8});
    groupList_ = form.DropDownList(kIdGroupList, {162, 30, 78, 94});
    form.Static(QStringLiteral("2 Channel Meter"), {162, 48, 53, 8});
    pairList_ = form.DropDownList(kIdPairList, {162, 60, 78, 108});

    FillCardList();
    Refresh();
    // The first control of the template, as a dialog's first tab stop takes the focus.
    ok->setFocus();

    connect(cardList_, &QListWidget::currentRowChanged, this, &ChannelSetupDialog::OnCardChanged);
    connect(cardList_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    for (int32_t bus = 0; bus < static_cast<int32_t>(busButtons_.size()); ++bus)
        connect(busButtons_[bus], &QRadioButton::clicked, this, [this, bus] { OnBusClicked(bus); });
    connect(pairList_, &QComboBox::currentIndexChanged, this,
            [this](int index) { working_.ChanNumber = index; });
    connect(groupList_, &QComboBox::currentIndexChanged, this,
            [this](int index) { working_.GroupNumber = index; });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(help::kChannelSetup); });
    BindHelpKey(*this, help::kChannelSetup);
}

void ChannelSetupDialog::FillCardList() {
    const QSignalBlocker blocker(cardList_);
    for (int32_t slot = 0; slot < driver_protocol::kCardSlots; ++slot) {
        ChannelSelection probe;
        probe.CardNumber = slot;
        ProbeSelection(device_, probe);
        std::array<char, 40> name{};
        if (!ChannelNames::CardName(probe, name))
            continue;
        // A card fed by a live audio graph says so after its model name.
        QString text = QString::fromLatin1(name.data());
        const std::string label = ProbeCardLabel(device_, slot);
        if (!label.empty())
            text += QStringLiteral(" - ") + QString::fromLatin1(label.c_str());
        cardList_->addItem(text);
        cardSlots_.push_back(slot);
        if (slot == working_.CardNumber)
            cardList_->setCurrentRow(cardList_->count() - 1);
    }
}

void ChannelSetupDialog::Refresh() {
    ProbeSelection(device_, working_);
    FillNames(*pairList_, working_, &ChannelSelection::ChanNumber, ChannelNames::PairName);
    FillNames(*groupList_, working_, &ChannelSelection::GroupNumber, ChannelNames::GroupName);
    // A bus outside the three leaves the buttons as they are.
    if (working_.BusType >= 0 && working_.BusType < static_cast<int32_t>(busButtons_.size()))
        busButtons_[working_.BusType]->setChecked(true);
    // Tab reaches the group at its checked button, the first while none is checked.
    const bool anyChecked =
        std::ranges::any_of(busButtons_, [](const QRadioButton* b) { return b->isChecked(); });
    for (QRadioButton* button : busButtons_) {
        const bool stop = button->isChecked() || (!anyChecked && button == busButtons_[0]);
        button->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void ChannelSetupDialog::OnCardChanged(int row) {
    if (row < 0 || row >= static_cast<int>(cardSlots_.size()))
        return;
    working_.CardNumber = cardSlots_[row];
    Refresh();
}

void ChannelSetupDialog::OnBusClicked(int32_t bus) {
    working_.BusType = bus;
    Refresh();
}

void ChannelSetupDialog::accept() {
    QDialog::accept();
    caller_ = working_;
    caller_.accepted = 1;
}

void RunChannelSetup(const ControlDevice& device, ChannelSelection& selection) {
    ChannelSetupDialog dialog(device, selection);
    RunModal(dialog);
}
