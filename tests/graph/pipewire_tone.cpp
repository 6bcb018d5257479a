// levora-pipewire-tone SIGNAL...: a PipeWire client of the tests that plays known signals into
// the default sink until SIGTERM or SIGINT. The stream has 64 channels (AUX0..AUX63) at the
// graph's rate and is not remixed, so channel N of the stream is channel N of the sink.
//   SIGNAL  CHANNEL:sine:AMPLITUDE   a 1 kHz sine, for example 3:sine:0.5
//           CHANNEL:burst            100 full-scale samples of alternating sign every 0.1 s
#include "tests/graph/tone_signal.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr uint32_t kChannels = 64;

struct Player {
    pw_stream* stream = nullptr;
    std::vector<tonetest::Voice> voices;
    uint64_t frame = 0;
    int rate = 48000;
};

std::atomic<bool> stop{false};

void Process(void* data) {
    auto* player = static_cast<Player*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(player->stream);
    if (buffer == nullptr)
        return;
    spa_buffer* planes = buffer->buffer;
    uint32_t frames = planes->datas[0].maxsize / sizeof(float);
    if (buffer->requested != 0)
        frames = std::min<uint32_t>(frames, uint32_t(buffer->requested));
    for (uint32_t ch = 0; ch < planes->n_datas; ++ch) {
        auto* out = static_cast<float*>(planes->datas[ch].data);
        if (out == nullptr)
            continue;
        std::fill_n(out, frames, 0.0f);
        for (const tonetest::Voice& voice : player->voices) {
            if (voice.channel == int(ch) + 1) {
                for (uint32_t i = 0; i < frames; ++i)
                    out[i] = tonetest::Sample(voice, player->frame + i, player->rate);
            }
        }
        planes->datas[ch].chunk->offset = 0;
        planes->datas[ch].chunk->stride = sizeof(float);
        planes->datas[ch].chunk->size = frames * sizeof(float);
    }
    player->frame += frames;
    pw_stream_queue_buffer(player->stream, buffer);
}

} // namespace

int main(int argc, char** argv) {
    Player player;
    for (int i = 1; i < argc; ++i) {
        tonetest::Voice voice;
        if (!tonetest::ParseVoice(argv[i], voice) || voice.channel > int(kChannels)) {
            std::fprintf(stderr, "levora-pipewire-tone: bad signal '%s'\n", argv[i]);
            return 2;
        }
        player.voices.push_back(voice);
    }
    tonetest::HoldUntilSignalled();
    pw_init(&argc, &argv);
    pw_thread_loop* loop = pw_thread_loop_new("tone", nullptr);
    pw_properties* props = pw_properties_new(
        PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE,
        "Production", PW_KEY_NODE_NAME, "levora-tone", PW_KEY_STREAM_DONT_REMIX, "true", nullptr);
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.process = Process;
    player.stream =
        pw_stream_new_simple(pw_thread_loop_get_loop(loop), "levora-tone", props, &events, &player);
    uint8_t pod[4096];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(pod, sizeof pod);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_F32P;
    info.rate = player.rate;
    info.channels = kChannels;
    for (uint32_t ch = 0; ch < kChannels; ++ch)
        info.position[ch] = SPA_AUDIO_CHANNEL_AUX0 + ch;
    const spa_pod* params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    if (pw_stream_connect(player.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                          PW_STREAM_FLAG_RT_PROCESS),
                          params, 1) != 0) {
        std::fprintf(stderr, "levora-pipewire-tone: cannot connect\n");
        return 1;
    }
    pw_thread_loop_start(loop);
    std::signal(SIGTERM, [](int) { stop = true; });
    std::signal(SIGINT, [](int) { stop = true; });
    while (!stop)
        usleep(20000);
    pw_thread_loop_stop(loop);
    pw_stream_destroy(player.stream);
    pw_thread_loop_destroy(loop);
    pw_deinit();
    return 0;
}
