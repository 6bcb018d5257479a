#pragma once

#include "device/card_probe.h"
#include "device/channel_selection.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "device/level_report.h"
#include "platform/tick_source.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class PollDriver;

// One channel pair of one bus of one card and the listeners that meter it.
struct ChannelSlot {
    static constexpr int kListeners = 20;

    std::array<LevelListener*, kListeners> listeners{};
    // Position of the pair within the registration that filled the entry.
    std::array<int32_t, kListeners> cookies{};
};

// Polls the cards every tick and hands each subscribed listener the levels of its pairs.
// The program owns exactly one; it runs on the GUI thread and needs no locking.
class LevelEngine {
public:
    static constexpr int kPairsPerBus = 64;
    static constexpr int kSlots =
        driver_protocol::kCardSlots * driver_protocol::kBuses * kPairsPerBus;
    // Polls in a row without an answer before a card's listeners are told it is silent: one
    // probe that misses its deadline on a busy machine is not a card that went away.
    static constexpr int kMissedPollsUntilSilent = 3;

    enum MeterType : int32_t { kStereoMeter = 0, kMultiChannelMeter = 1, kGlobalMeter = 2 };

    // `pollDriver` may be null when the caller runs Poll itself (tests, benchmarks).
    LevelEngine(DriverTransport& transport, const TickSource& ticks, PollDriver* pollDriver);
    ~LevelEngine();
    LevelEngine(const LevelEngine&) = delete;
    LevelEngine& operator=(const LevelEngine&) = delete;

    // Subscribes `view` to the pairs the selection names, fills the selection's cardKind and
    // rateCode and returns the rate code (0 when the card does not answer; the view is
    // subscribed all the same). A selection naming a card, bus or pair that the table does
    // not hold subscribes nothing; a pair whose 20 listener entries are taken skips the view.
    // The registration is remembered with the card's rate code: the first poll in which the
    // card answers in another speed, or at all when it did not answer, asks for a restart.
    int32_t RegisterView(int32_t meterType, ChannelSelection& selection, LevelListener* view);
    // Probes the selection's card into its cardKind and rateCode. A probe that gets no answer
    // leaves the kind the card last answered with: on a busy machine a request can miss its
    // deadline while the card is there, and a window's layout must not jump for that.
    void ProbeSelectionCard(ChannelSelection& selection);
    void UnregisterView(const LevelListener* view);

    // What one poll asks the driver: the probe of every card, then the level block of each
    // card that answers and has a subscriber, in card order.
    struct PollReadings {
        uint32_t tick = 0;
        std::array<DeviceName, driver_protocol::kCardSlots> names{};
        std::array<int32_t, driver_protocol::kCardSlots> rates{};
        std::array<int32_t, driver_protocol::kCardSlots> kinds{};
        std::array<bool, driver_protocol::kCardSlots> read{};
        std::array<std::array<uint8_t, driver_protocol::kMadiLayout.size>,
                   driver_protocol::kCardSlots>
            blocks{};
    };
    using CardSet = std::array<bool, driver_protocol::kCardSlots>;

    // One acquisition cycle: probe every card, read those with a subscriber once, report.
    // The same as Deliver(Gather(CardsToRead())).
    void Poll();
    // The cards with a subscriber now.
    CardSet CardsToRead() const;
    // A poll's driver requests alone. It touches only the transport and the tick source, so
    // it may run on another thread while this one goes on (a slow driver then holds no
    // window); everything else of the engine stays on its own thread.
    void Gather(const CardSet& cards, PollReadings& readings) const;
    // A poll's reports from what Gather read. A card subscribed since has no block yet and
    // reports from the next poll on.
    void Deliver(const PollReadings& readings);

    // Installed by the application: restarts level processing in every running window.
    // Called at the end of a poll in which a card answered in another speed than at one of
    // its registrations, including a registration that it did not answer.
    void SetRestartLevelProcessing(std::function<void()> restart);

    // The rate code of the most recent registration on `card`, 0 before any.
    int32_t registeredRate(int card) const;
    // Whether any of the six slots answered its latest probe (of a poll, or of a registration
    // its card did not answer): false means no driver answers.
    bool AnyCardAnswers() const;

    static constexpr int SlotIndex(int card, int bus, int pair) {
        return (card * driver_protocol::kBuses + bus) * kPairsPerBus + pair;
    }
    // `index` must be within 0..kSlots-1.
    const ChannelSlot& Slot(int index) const { return slots_[index]; }
    // Whether the slot has had a listener since its last listener left.
    bool SlotActive(int index) const { return active_[index]; }

private:
    struct Registration {
        LevelListener* view;
        int32_t card;
        int32_t rate; // the card's rate code at the registration, 0 when it did not answer
        bool answering;
    };

    void StartPolling();
    void Subscribe(int index, LevelListener* view, int32_t cookie);
    double TakeElapsed(uint32_t now);
    // The card's part of a poll from its readings. Returns whether the card answered in
    // another speed than at one of its registrations.
    bool PollCard(int card, const PollReadings& readings, double elapsed);
    // Counts a poll the card did not answer; tells its listeners once it is silent.
    void MissCard(int card);
    // Tells the registrations made in speed `rate` that their card answers again; returns
    // whether a registration saw another speed.
    bool AnswerCard(int card, int32_t rate);

    ControlDevice device_;
    const TickSource& ticks_;
    PollDriver* pollDriver_;
    bool polling_ = false;
    uint32_t lastTick_ = 0;
    std::array<ChannelSlot, kSlots> slots_{};
    // Apart from the slots, so that a poll's look for the active ones reads a few cache lines
    // and not one per slot.
    std::array<bool, kSlots> active_{};
    std::array<int32_t, driver_protocol::kCardSlots> registeredRate_{};
    std::array<int32_t, driver_protocol::kCardSlots> missedPolls_{};
    std::array<bool, driver_protocol::kCardSlots> answered_{};
    std::array<int32_t, driver_protocol::kCardSlots> knownKinds_;
    std::vector<Registration> registrations_;
    std::function<void()> restartLevelProcessing_;
};
