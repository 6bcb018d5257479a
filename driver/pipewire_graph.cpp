#include "driver/pipewire_graph.h"

#include "driver/card_model.h"
#include "driver/pipewire_links.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>
#include <spa/pod/builder.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace sim {

namespace dp = driver_protocol;

namespace {

constexpr int kChannels = LevelTap::kMaxChannels;
constexpr int kInput = 0;
constexpr int kOutput = 2;
constexpr auto kConnectDeadline = std::chrono::milliseconds(1000);

// The loop thread, context and core of one client, and the events that say the server left.
class Client {
public:
    Client() {
        static std::once_flag initialised;
        std::call_once(initialised, [] { pw_init(nullptr, nullptr); });
        loop_ = pw_thread_loop_new("levora-pipewire", nullptr);
        if (loop_ != nullptr)
            context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    }

    // The owner destroys its streams first (with the loop stopped, see Stop).
    ~Client() {
        Stop();
        if (core_ != nullptr)
            pw_core_disconnect(core_);
        if (context_ != nullptr)
            pw_context_destroy(context_);
        if (loop_ != nullptr)
            pw_thread_loop_destroy(loop_);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Connects and waits for the server's answer to a round trip, at most `deadline`.
    bool Connect(const std::string& remote, std::chrono::milliseconds deadline) {
        if (context_ == nullptr || pw_thread_loop_start(loop_) < 0)
            return false;
        started_ = true;
        Lock lock(loop_);
        pw_properties* props = remote.empty()
                                   ? nullptr
                                   : pw_properties_new(PW_KEY_REMOTE_NAME, remote.c_str(), nullptr);
        core_ = pw_context_connect(context_, props, 0);
        if (core_ == nullptr)
            return false;
        static const pw_core_events events = [] {
            pw_core_events e{};
            e.version = PW_VERSION_CORE_EVENTS;
            e.info = &Client::Info;
            e.done = &Client::Done;
            e.error = &Client::Error;
            return e;
        }();
        pw_core_add_listener(core_, &coreListener_, &events, this);
        syncSeq_ = pw_core_sync(core_, PW_ID_CORE, 0);
        timespec until{};
        pw_thread_loop_get_time(loop_, &until, std::chrono::nanoseconds(deadline).count());
        while (!synced_ && Alive()) {
            if (pw_thread_loop_timed_wait_full(loop_, &until) < 0)
                break;
        }
        return synced_ && Alive();
    }

    // Ends the loop thread; afterwards nothing runs concurrently with the owner.
    void Stop() {
        if (started_)
            pw_thread_loop_stop(loop_);
        started_ = false;
    }

    bool Alive() const { return alive_.load(std::memory_order_acquire); }
    void Lose() { alive_.store(false, std::memory_order_release); }

    pw_thread_loop* Loop() const { return loop_; }
    pw_core* Core() const { return core_; }
    // The server's name as it calls itself; under the loop lock.
    const std::string& Name() const { return name_; }

    class Lock {
    public:
        explicit Lock(pw_thread_loop* loop) : loop_(loop) { pw_thread_loop_lock(loop_); }
        ~Lock() { pw_thread_loop_unlock(loop_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pw_thread_loop* loop_;
    };

private:
    static void Info(void* data, const pw_core_info* info) {
        if (info->name != nullptr)
            static_cast<Client*>(data)->name_ = info->name;
    }

    static void Done(void* data, uint32_t id, int seq) {
        auto* self = static_cast<Client*>(data);
        if (id == PW_ID_CORE && seq == self->syncSeq_) {
            self->synced_ = true;
            pw_thread_loop_signal(self->loop_, false);
        }
    }

    // The server went away (EPIPE) or refused the client.
    static void Error(void* data, uint32_t id, int, int res, const char*) {
        auto* self = static_cast<Client*>(data);
        if (id == PW_ID_CORE && (res == -EPIPE || !self->synced_)) {
            self->Lose();
            pw_thread_loop_signal(self->loop_, false);
        }
    }

    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    spa_hook coreListener_{};
    bool started_ = false;
    int syncSeq_ = -1;
    bool synced_ = false;
    std::string name_;
    std::atomic<bool> alive_{true};
};

class PipeWireConnection;

// One capture stream and the tap it feeds.
struct BusStream {
    PipeWireConnection* owner = nullptr;
    int bus = 0;
    std::string target; // the node it records; empty for the default
    pw_stream* stream = nullptr;
    spa_hook listener{};
    std::array<const float*, kChannels> buffers{};
    std::atomic<int> channels{0};
};

class PipeWireConnection final : public GraphConnection {
public:
    explicit PipeWireConnection(const GraphSetup& setup) : setup_(setup) {}

    ~PipeWireConnection() override {
        client_.Stop();
        for (BusStream& bus : streams_) {
            if (bus.stream != nullptr)
                pw_stream_destroy(bus.stream);
        }
        links_.Detach();
    }

    bool Start() {
        if (!client_.Connect(setup_.server, kConnectDeadline))
            return false;
        Client::Lock lock(client_.Loop());
        if (!links_.Attach(client_.Core()))
            return false;
        for (int bus = 0; bus < dp::kBuses; ++bus) {
            if (bus == kOutput && OutputShowsPlayback())
                continue;
            BusStream& stream = streams_[bus];
            stream.owner = this;
            stream.bus = bus;
            if (!setup_.taps[bus].empty())
                stream.target = setup_.taps[bus].front();
            if (!Open(stream))
                return false;
        }
        return client_.Alive();
    }

    bool Alive() const override { return client_.Alive(); }
    int Rate() const override { return rate_.load(std::memory_order_relaxed); }
    bool OutputShowsPlayback() const override { return setup_.taps[kOutput].empty(); }
    void Maintain() override {} // the session manager keeps the links

    std::string Server() const override {
        Client::Lock lock(client_.Loop());
        return client_.Name().empty() ? setup_.server : client_.Name();
    }

    std::string Describe() const override {
        std::string text = "rate " + std::to_string(Rate()) + " period " +
                           std::to_string(period_.load(std::memory_order_relaxed)) + "\n";
        Client::Lock lock(client_.Loop());
        for (int bus = 0; bus < dp::kBuses; ++bus) {
            text += "  " + std::string(BusName(bus)) + ": ";
            const BusStream& stream = streams_[bus];
            if (bus == kOutput && OutputShowsPlayback()) {
                text += "as playback\n";
                continue;
            }
            std::vector<std::string> feeding = links_.Feeding(pw_stream_get_node_id(stream.stream));
            for (const std::string& node : feeding)
                text += node + (&node == &feeding.back() ? "" : " ");
            if (feeding.empty()) {
                if (!stream.target.empty())
                    text += stream.target;
                else
                    text += bus == kInput ? "the default source" : "monitor of the default sink";
                text += ", not linked yet";
            }
            text += ", " + std::to_string(stream.channels.load()) + " channels\n";
        }
        return text;
    }

private:
    bool Open(BusStream& bus) {
        std::string name = "levora." + std::string(BusName(bus.bus));
        std::string description = "Levora level meter (" + std::string(BusName(bus.bus)) + ")";
        // Monitor: a meter, not a recording. Passive: the meter alone keeps no device running;
        // it hears a device while something else runs it.
        pw_properties* props = pw_properties_new(
            PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Monitor", PW_KEY_MEDIA_ROLE,
            "Production", PW_KEY_APP_NAME, "Levora", PW_KEY_NODE_NAME, name.c_str(),
            PW_KEY_NODE_DESCRIPTION, description.c_str(), PW_KEY_STREAM_DONT_REMIX, "true",
            PW_KEY_NODE_PASSIVE, "true", nullptr);
        if (bus.bus != kInput)
            pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
        if (!bus.target.empty())
            pw_properties_set(props, "target.object", bus.target.c_str());
        bus.stream = pw_stream_new(client_.Core(), name.c_str(), props);
        if (bus.stream == nullptr)
            return false;
        static const pw_stream_events events = [] {
            pw_stream_events e{};
            e.version = PW_VERSION_STREAM_EVENTS;
            e.state_changed = &PipeWireConnection::StateChanged;
            e.param_changed = &PipeWireConnection::ParamChanged;
            e.process = &PipeWireConnection::Process;
            return e;
        }();
        pw_stream_add_listener(bus.stream, &bus.listener, &events, &bus);
        // Planar floats at the graph's rate, 64 unnamed channels: not remixed, a node's channel N
        // is the meter's channel N.
        uint8_t pod[4096];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof pod);
        spa_audio_info_raw info{};
        info.format = SPA_AUDIO_FORMAT_F32P;
        info.channels = kChannels;
        for (int ch = 0; ch < kChannels; ++ch)
            info.position[ch] = SPA_AUDIO_CHANNEL_AUX0 + ch;
        const spa_pod* params[] = {
            spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
        auto flags = pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                     PW_STREAM_FLAG_RT_PROCESS);
        return pw_stream_connect(bus.stream, PW_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1) == 0;
    }

    // The audio thread: one period of every channel into the bus's taps.
    static void Process(void* data) {
        auto* bus = static_cast<BusStream*>(data);
        pw_buffer* buffer = pw_stream_dequeue_buffer(bus->stream);
        if (buffer == nullptr)
            return;
        const spa_buffer* planes = buffer->buffer;
        uint32_t count = std::min<uint32_t>(planes->n_datas, kChannels);
        uint32_t frames = UINT32_MAX;
        for (uint32_t ch = 0; ch < count; ++ch) {
            const spa_data& plane = planes->datas[ch];
            uint32_t offset = std::min(plane.chunk->offset, plane.maxsize);
            uint32_t size = std::min(plane.chunk->size, plane.maxsize - offset);
            bus->buffers[ch] = plane.data != nullptr
                                   ? static_cast<const float*>(SPA_PTROFF(plane.data, offset, void))
                                   : nullptr;
            frames = std::min<uint32_t>(frames, size / sizeof(float));
        }
        if (count == 0)
            frames = 0;
        std::fill(bus->buffers.begin() + count, bus->buffers.end(), nullptr);
        bus->owner->period_.store(int(frames), std::memory_order_relaxed);
        bus->owner->Tap(bus->bus).AddPeriod(bus->buffers, frames);
        pw_stream_queue_buffer(bus->stream, buffer);
    }

    static void ParamChanged(void* data, uint32_t id, const spa_pod* param) {
        auto* bus = static_cast<BusStream*>(data);
        if (param == nullptr || id != SPA_PARAM_Format)
            return;
        spa_audio_info_raw info{};
        if (spa_format_audio_raw_parse(param, &info) < 0)
            return;
        bus->channels.store(int(info.channels));
        bus->owner->rate_.store(int(info.rate), std::memory_order_relaxed);
    }

    static void StateChanged(void* data, pw_stream_state, pw_stream_state state, const char*) {
        if (state == PW_STREAM_STATE_ERROR)
            static_cast<BusStream*>(data)->owner->client_.Lose();
    }

    const GraphSetup setup_;
    Client client_;
    std::array<BusStream, dp::kBuses> streams_;
    PipeWireLinks links_;
    std::atomic<int> rate_{0};
    std::atomic<int> period_{0};
};

} // namespace

bool PipeWireServerAnswers(const GraphSetup& setup, std::chrono::milliseconds deadline) {
    Client client;
    return client.Connect(setup.server, deadline);
}

std::unique_ptr<GraphConnection> ConnectPipeWire(const GraphSetup& setup) {
    auto connection = std::make_unique<PipeWireConnection>(setup);
    if (!connection->Start())
        return nullptr;
    return connection;
}

} // namespace sim
