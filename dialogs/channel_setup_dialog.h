#pragma once

#include "device/channel_selection.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <vector>

class ControlDevice;
class QComboBox;
class QListWidget;
class QRadioButton;

inline constexpr int kIdCardList = 1074;
inline constexpr int kIdGroupList = 1125;
inline constexpr int kIdPairList = 1126;
inline constexpr int kIdInputBus = 1127;
inline constexpr int kIdPlaybackBus = 1128;
inline constexpr int kIdOutputBus = 1129;

// "Channel Setup": card, bus, pair and group of one meter window. Works on a copy of the
// window's selection and writes it back, with `accepted` set, only when the user presses OK.
class ChannelSetupDialog : public QDialog {
    Q_OBJECT

public:
    // Lists the cards that answer now; the caller's `accepted` becomes 0 until OK.
    ChannelSetupDialog(const ControlDevice& device, ChannelSelection& selection,
                       QWidget* parent = nullptr);

    const ChannelSelection& workingCopy() const { return working_; }

    void accept() override;

private:
    void FillCardList();
    // Re-probes the card and refills the pair and group lists, keeping the user's position
    // where the new layout reaches.
    void Refresh();
    void OnCardChanged(int row);
    void OnBusClicked(int32_t bus);

    const ControlDevice& device_;
    ChannelSelection& caller_;
    ChannelSelection working_;
    std::vector<int32_t> cardSlots_; // the slot of each line of the card list

    QListWidget* cardList_;
    std::array<QRadioButton*, 3> busButtons_;
    QComboBox* groupList_;
    QComboBox* pairList_;
};

// Runs the dialog modally on the window's selection; the caller looks at `accepted`.
void RunChannelSetup(const ControlDevice& device, ChannelSelection& selection);
