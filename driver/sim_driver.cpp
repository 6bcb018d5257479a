#include "driver/sim_driver.h"

#include "driver/device_names.h"

#include <array>

namespace sim {

namespace dp = driver_protocol;

namespace {

bool ValidSlot(int slot) {
    return slot >= 0 && slot < dp::kCardSlots;
}

std::string ChannelRange(int first, int last) {
    return first == last ? std::to_string(first + 1)
                         : std::to_string(first + 1) + "-" + std::to_string(last + 1);
}

} // namespace

SimDriver::SimDriver(const DriverConfig& config, const SimClock& clock) : clock_(clock) {
    for (int slot = 0; slot < dp::kCardSlots; ++slot) {
        const auto& setup = config.cards[slot];
        if (!setup || !CardProblem(slot, setup->kind, setup->speed).empty())
            continue;
        if (setup->graph) {
            slots_[slot].graph = std::make_unique<GraphCard>(*setup->graph);
            continue;
        }
        slots_[slot].card.emplace(slot, *setup, clock_.NowNs());
        slots_[slot].plugged = setup->plugged;
    }
}

bool SimDriver::Request(int slot, uint32_t code, const void* in, uint32_t inSize, void* out,
                        uint32_t outSize, uint32_t* bytesReturned) {
    std::lock_guard lock(mutex_);
    if (ValidSlot(slot) && slots_[slot].graph)
        return GraphRequest(slot, code, in, inSize, out, outSize, bytesReturned);
    if (!IsPluggedLocked(slot) || out == nullptr)
        return false;
    SimCard& card = *slots_[slot].card;
    uint32_t written = 0;
    if (code == dp::IOCTL_CARD_INFO && outSize >= dp::kCardInfoSize) {
        card.WriteCardInfo(static_cast<uint8_t*>(out));
        written = dp::kCardInfoSize;
    } else if (code == dp::IOCTL_READ_LEVELS && in != nullptr && inSize >= dp::kLevelRequestSize &&
               outSize >= dp::LayoutForSlot(slot).size) {
        card.ReadLevels(clock_.NowNs(), static_cast<uint8_t*>(out));
        written = dp::LayoutForSlot(slot).size;
    } else {
        return false;
    }
    if (bytesReturned != nullptr)
        *bytesReturned = written;
    return true;
}

bool SimDriver::GraphRequest(int slot, uint32_t code, const void* in, uint32_t inSize, void* out,
                             uint32_t outSize, uint32_t* bytesReturned) {
    GraphCard& card = *slots_[slot].graph;
    auto* bytes = static_cast<uint8_t*>(out);
    uint32_t written = 0;
    if (out == nullptr)
        return false;
    if (code == dp::IOCTL_CARD_INFO && outSize >= dp::kCardInfoSize) {
        if (!card.WriteCardInfo(slot, bytes))
            return false;
        written = dp::kCardInfoSize;
    } else if (code == dp::IOCTL_READ_LEVELS && in != nullptr && inSize >= dp::kLevelRequestSize &&
               outSize >= dp::LayoutForSlot(slot).size) {
        if (!card.ReadLevels(slot, bytes))
            return false;
        written = dp::LayoutForSlot(slot).size;
    } else {
        return false;
    }
    if (bytesReturned != nullptr)
        *bytesReturned = written;
    return true;
}

bool SimDriver::IsPlugged(int slot) const {
    std::lock_guard lock(mutex_);
    return IsPluggedLocked(slot);
}

bool SimDriver::IsPluggedLocked(int slot) const {
    return ValidSlot(slot) && ((slots_[slot].card && slots_[slot].plugged) || slots_[slot].graph);
}

bool SimDriver::Plug(int slot, std::string& error) {
    std::lock_guard lock(mutex_);
    SimCard* card = CardIn(slot, error);
    if (card == nullptr)
        return false;
    if (!slots_[slot].plugged) {
        card->Restart(clock_.NowNs());
        slots_[slot].plugged = true;
    }
    return true;
}

bool SimDriver::PlugNew(int slot, int kind, Speed speed, std::string& error) {
    std::lock_guard lock(mutex_);
    if (!ValidSlot(slot)) {
        error = "slot must be 0..5";
        return false;
    }
    error = CardProblem(slot, kind, speed);
    if (!error.empty())
        return false;
    if (slots_[slot].plugged || slots_[slot].graph) {
        error = "slot " + std::to_string(slot) + " holds a card; unplug it first";
        return false;
    }
    CardSetup setup;
    setup.kind = kind;
    setup.speed = speed;
    slots_[slot].card.emplace(slot, setup, clock_.NowNs());
    slots_[slot].plugged = true;
    return true;
}

bool SimDriver::Unplug(int slot, std::string& error) {
    std::lock_guard lock(mutex_);
    if (CardIn(slot, error) == nullptr)
        return false;
    slots_[slot].plugged = false;
    return true;
}

bool SimDriver::SetSpeed(int slot, Speed speed, std::string& error) {
    std::lock_guard lock(mutex_);
    SimCard* card = CardIn(slot, error);
    if (card == nullptr)
        return false;
    error = CardProblem(slot, card->Kind(), speed);
    if (!error.empty())
        return false;
    card->SetSpeed(speed, clock_.NowNs());
    return true;
}

bool SimDriver::SetSignal(int slot, const SignalAssignment& assignment, std::string& error) {
    std::lock_guard lock(mutex_);
    SimCard* card = CardIn(slot, error);
    if (card == nullptr)
        return false;
    if (assignment.target.lastChannel >= dp::LayoutForSlot(slot).channelsPerBus) {
        error = "slot " + std::to_string(slot) + " has " +
                std::to_string(dp::LayoutForSlot(slot).channelsPerBus) + " channels per bus";
        return false;
    }
    card->SetSignal(assignment.target, assignment.spec, clock_.NowNs());
    return true;
}

std::string SimDriver::Describe() const {
    std::lock_guard lock(mutex_);
    std::string text;
    for (int slot = 0; slot < dp::kCardSlots; ++slot)
        text += DescribeSlot(slot);
    return text;
}

SimCard* SimDriver::CardIn(int slot, std::string& error) {
    if (ValidSlot(slot) && slots_[slot].graph) {
        error = "slot " + std::to_string(slot) + " holds a graph card, which follows its server";
        return nullptr;
    }
    if (!ValidSlot(slot) || !slots_[slot].card) {
        error = "slot " + std::to_string(slot) + " has no card";
        return nullptr;
    }
    return &*slots_[slot].card;
}

std::string SimDriver::DescribeSlot(int slot) const {
    const Slot& s = slots_[slot];
    std::string text = "slot " + std::to_string(slot) + " " + SlotDeviceFile(slot) + ": ";
    if (s.graph)
        return text + "kind 7 " + s.graph->Describe();
    if (!s.card)
        return text + "empty\n";
    text += "kind " + std::to_string(s.card->Kind()) + " speed " +
            std::string(SpeedName(s.card->CurrentSpeed())) +
            (s.plugged ? " plugged\n" : " unplugged\n");
    int channels = dp::LayoutForSlot(slot).channelsPerBus;
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        // Runs of channels with the same signal, "input 1-8 sine 1000 -6".
        int first = 0;
        for (int ch = 1; ch <= channels; ++ch) {
            if (ch < channels && s.card->Signal(bus, ch) == s.card->Signal(bus, first))
                continue;
            text += "  " + std::string(BusName(bus)) + " " + ChannelRange(first, ch - 1) + " " +
                    FormatSignal(s.card->Signal(bus, first)) + "\n";
            first = ch;
        }
    }
    return text;
}

} // namespace sim
