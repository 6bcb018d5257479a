#include "device/level_engine.h"

#include "device/card_probe.h"
#include "device/channel_names.h"
#include "device/little_endian.h"
#include "device/poll_driver.h"

#include <algorithm>
#include <cstring>

using namespace driver_protocol;

namespace {

constexpr uint8_t kLevelRequest[kLevelRequestSize] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

struct ChannelLevel {
    int32_t fscCount = 0;
    double peak = 0;
    double meanSquare = 0;
};

struct PairRange {
    int32_t first = 0;
    int32_t count = 0;
};

PairRange PairsOf(int32_t meterType, const ChannelSelection& selection) {
    switch (meterType) {
    case LevelEngine::kStereoMeter:
        return {selection.ChanNumber, 1};
    case LevelEngine::kMultiChannelMeter:
        // A negative group is a list without a selection: it names no pairs, whatever the
        // card (for an absent card the first pair would otherwise read as 0).
        if (selection.GroupNumber < 0)
            return {};
        return {ChannelNames::GroupFirstPair(selection), 4};
    case LevelEngine::kGlobalMeter:
        return {0, ChannelNames::PairCount(selection)};
    default:
        return {};
    }
}

bool IsPair(int32_t pair) {
    return pair >= 0 && pair < LevelEngine::kPairsPerBus;
}

// Every pair of the registration must exist in the table; a group the card lacks (first
// pair -1) or a stale pair index subscribes nothing rather than a shifted set of pairs.
bool FitsTable(const ChannelSelection& selection, PairRange range) {
    if (selection.CardNumber < 0 || selection.CardNumber >= kCardSlots || selection.BusType < 0 ||
        selection.BusType >= kBuses)
        return false;
    for (int32_t i = 0; i < range.count; ++i) {
        if (!IsPair(range.first + i) ||
            !IsPair(ChannelNames::DriverPair(selection, range.first + i)))
            return false;
    }
    return true;
}

// A failed or short read leaves silence, not what the driver may have written half-way.
void ReadLevels(const ControlDevice& device, const DeviceName& name, const LevelBlockLayout& layout,
                uint8_t* block) {
    std::memset(block, 0, layout.size);
    if (!device.Request(name.data(), IOCTL_READ_LEVELS, kLevelRequest, kLevelRequestSize, block,
                        layout.size))
        std::memset(block, 0, layout.size);
}

// Pairs 0..63 exist in the table for every card, but a family's block holds fewer channels
// per bus; a channel beyond them is silent instead of a read into the neighbouring arrays.
ChannelLevel ReadChannel(const uint8_t* block, const LevelBlockLayout& layout, int bus,
                         int channel) {
    if (channel >= layout.channelsPerBus)
        return {};
    const uint32_t word = little_endian::ReadU32(block + layout.peaks[bus] + 4 * channel);
    const int64_t meanSquare =
        little_endian::ReadI64(block + layout.meanSquares[bus] + 8 * channel);
    ChannelLevel level;
    level.fscCount = static_cast<int32_t>(word & kFscMask);
    level.peak = (word & kPeakMagnitudeMask) * kPeakScale;
    // A power cannot be negative; a garbage word must not hand the meters a log of one.
    level.meanSquare = std::max<int64_t>(meanSquare, 0) * kMeanSquareScale;
    return level;
}

LevelReport BuildReport(const uint8_t* block, const LevelBlockLayout& layout, int bus, int pair,
                        double elapsed) {
    const ChannelLevel a = ReadChannel(block, layout, bus, 2 * pair);
    const ChannelLevel b = ReadChannel(block, layout, bus, 2 * pair + 1);
    LevelReport report;
    report.fscCountA = a.fscCount;
    report.fscCountB = b.fscCount;
    report.peakA = a.peak;
    report.meanSquareA = a.meanSquare;
    report.peakB = b.peak;
    report.meanSquareB = b.meanSquare;
    report.elapsed = elapsed;
    return report;
}

} // namespace

LevelEngine::LevelEngine(DriverTransport& transport, const TickSource& ticks,
                         PollDriver* pollDriver)
    : device_(transport), ticks_(ticks), pollDriver_(pollDriver) {
    knownKinds_.fill(kNoCardKind);
}

LevelEngine::~LevelEngine() {
    if (polling_ && pollDriver_)
        pollDriver_->Stop();
}

void LevelEngine::SetRestartLevelProcessing(std::function<void()> restart) {
    restartLevelProcessing_ = std::move(restart);
}

int32_t LevelEngine::registeredRate(int card) const {
    return card >= 0 && card < kCardSlots ? registeredRate_[card] : 0;
}

bool LevelEngine::AnyCardAnswers() const {
    return std::find(answered_.begin(), answered_.end(), true) != answered_.end();
}

void LevelEngine::StartPolling() {
    if (polling_)
        return;
    polling_ = true;
    lastTick_ = ticks_.Now();
    if (pollDriver_)
        pollDriver_->Start(*this);
}

int32_t LevelEngine::RegisterView(int32_t meterType, ChannelSelection& selection,
                                  LevelListener* view) {
    StartPolling();
    ProbeSelectionCard(selection);
    const int32_t rate = selection.rateCode;
    const int32_t card = selection.CardNumber;
    if (card >= 0 && card < kCardSlots) {
        answered_[card] = rate != kRateNoCard;
        // Whether any driver answers matters to a window whose card does not.
        for (int other = 0; other < kCardSlots && rate == kRateNoCard; ++other) {
            DeviceName name;
            if (other != card)
                answered_[other] = ProbeCard(device_, name, other, nullptr) != kRateNoCard;
        }
        // Also when it subscribes nothing: a global meter on an absent card has no pairs
        // yet, and must hear when the card arrives.
        if (view)
            registrations_.push_back({view, card, rate, rate != kRateNoCard});
    }
    const PairRange range = PairsOf(meterType, selection);
    if (!view || range.count <= 0 || !FitsTable(selection, range))
        return rate;
    for (int32_t i = 0; i < range.count; ++i) {
        const int32_t pair = ChannelNames::DriverPair(selection, range.first + i);
        Subscribe(SlotIndex(selection.CardNumber, selection.BusType, pair), view, i);
        registeredRate_[selection.CardNumber] = rate;
    }
    return rate;
}

void LevelEngine::ProbeSelectionCard(ChannelSelection& selection) {
    ProbeSelection(device_, selection);
    const int32_t card = selection.CardNumber;
    if (card < 0 || card >= kCardSlots)
        return;
    if (selection.rateCode != kRateNoCard)
        knownKinds_[card] = selection.cardKind;
    else
        selection.cardKind = knownKinds_[card];
}

void LevelEngine::Subscribe(int index, LevelListener* view, int32_t cookie) {
    active_[index] = true;
    ChannelSlot& slot = slots_[index];
    const auto free = std::find(slot.listeners.begin(), slot.listeners.end(), nullptr);
    if (free == slot.listeners.end())
        return;
    *free = view;
    slot.cookies[free - slot.listeners.begin()] = cookie;
}

void LevelEngine::UnregisterView(const LevelListener* view) {
    std::erase_if(registrations_, [view](const Registration& r) { return r.view == view; });
    for (int index = 0; index < kSlots; ++index) {
        ChannelSlot& slot = slots_[index];
        bool cleared = false;
        for (LevelListener*& listener : slot.listeners) {
            if (listener == view) {
                listener = nullptr;
                cleared = true;
            }
        }
        const bool empty = std::all_of(slot.listeners.begin(), slot.listeners.end(),
                                       [](const LevelListener* l) { return l == nullptr; });
        if (cleared && empty)
            active_[index] = false;
    }
}

double LevelEngine::TakeElapsed(uint32_t now) {
    // Unsigned difference: a wrap of the counter still gives the true small gap.
    const double elapsed = static_cast<uint32_t>(now - lastTick_) * 0.001;
    lastTick_ = now;
    return std::clamp(elapsed, 0.005, 1.0);
}

void LevelEngine::Poll() {
    PollReadings readings;
    Gather(CardsToRead(), readings);
    Deliver(readings);
}

LevelEngine::CardSet LevelEngine::CardsToRead() const {
    CardSet cards{};
    for (int card = 0; card < kCardSlots; ++card) {
        const auto first = active_.begin() + SlotIndex(card, 0, 0);
        cards[card] = std::any_of(first, first + kBuses * kPairsPerBus, std::identity());
    }
    return cards;
}

void LevelEngine::Gather(const CardSet& cards, PollReadings& readings) const {
    readings.tick = ticks_.Now();
    // Every slot is probed before any is read or anyone told: a listener of the first card
    // that asks whether any card answers must not get the last poll's word for the others.
    for (int card = 0; card < kCardSlots; ++card)
        readings.rates[card] =
            ProbeCard(device_, readings.names[card], card, &readings.kinds[card]);
    for (int card = 0; card < kCardSlots; ++card) {
        readings.read[card] = cards[card] && readings.rates[card] != kRateNoCard;
        if (readings.read[card])
            ReadLevels(device_, readings.names[card], LayoutForSlot(card),
                       readings.blocks[card].data());
    }
}

void LevelEngine::Deliver(const PollReadings& readings) {
    const double elapsed = TakeElapsed(readings.tick);
    for (int card = 0; card < kCardSlots; ++card) {
        answered_[card] = readings.rates[card] != kRateNoCard;
        if (answered_[card])
            knownKinds_[card] = readings.kinds[card];
    }
    bool changed = false;
    for (int card = 0; card < kCardSlots; ++card)
        changed |= PollCard(card, readings, elapsed);
    if (changed && restartLevelProcessing_)
        restartLevelProcessing_();
}

bool LevelEngine::PollCard(int card, const PollReadings& readings, double elapsed) {
    const int32_t rate = readings.rates[card];
    if (rate == kRateNoCard) {
        MissCard(card);
        return false;
    }
    const bool changed = AnswerCard(card, rate);
    if (!readings.read[card])
        return changed;
    const LevelBlockLayout& layout = LayoutForSlot(card);
    const uint8_t* block = readings.blocks[card].data();
    for (int bus = 0; bus < kBuses; ++bus) {
        for (int pair = 0; pair < kPairsPerBus; ++pair) {
            const int index = SlotIndex(card, bus, pair);
            if (!active_[index])
                continue;
            const ChannelSlot& slot = slots_[index];
            const LevelReport report = BuildReport(block, layout, bus, pair, elapsed);
            // Re-read every entry: a listener may unregister itself or others during its call.
            for (int j = 0; j < ChannelSlot::kListeners; ++j) {
                if (LevelListener* listener = slot.listeners[j])
                    listener->OnLevelReport(report, slot.cookies[j]);
            }
        }
    }
    return changed;
}

void LevelEngine::MissCard(int card) {
    if (missedPolls_[card] < kMissedPollsUntilSilent)
        ++missedPolls_[card];
    if (missedPolls_[card] < kMissedPollsUntilSilent)
        return;
    // By index, with the state changed before the call: a listener may register or
    // unregister views while it is told.
    for (size_t i = 0; i < registrations_.size(); ++i) {
        Registration& r = registrations_[i];
        if (r.card != card || !r.answering)
            continue;
        r.answering = false;
        r.view->OnCardAnswering(false);
    }
}

bool LevelEngine::AnswerCard(int card, int32_t rate) {
    missedPolls_[card] = 0;
    bool changed = false;
    for (size_t i = 0; i < registrations_.size(); ++i) {
        Registration& r = registrations_[i];
        if (r.card != card)
            continue;
        if (r.rate != rate) {
            changed = true;
        } else if (!r.answering) {
            r.answering = true;
            r.view->OnCardAnswering(true);
        }
    }
    return changed;
}
