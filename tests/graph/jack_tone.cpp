// levora-jack-tone SERVER SIGNAL...: a JACK client of the tests that plays known signals into
// the physical playback ports of a private server until SIGTERM or SIGINT.
//   SIGNAL  CHANNEL:sine:AMPLITUDE   a 1 kHz sine, for example 3:sine:0.5
//           CHANNEL:burst            100 full-scale samples of alternating sign every 0.1 s
// Port out_N plays channel N and is connected to system:playback_N.
#include "tests/graph/tone_signal.h"

#include <jack/jack.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Voice : tonetest::Voice {
    jack_port_t* port = nullptr;
};

struct Player {
    std::vector<Voice> voices;
    uint64_t frame = 0;
    int rate = 48000;
};

std::atomic<bool> stop{false};

int Process(jack_nframes_t frames, void* arg) {
    auto* player = static_cast<Player*>(arg);
    for (const Voice& voice : player->voices) {
        auto* out = static_cast<float*>(jack_port_get_buffer(voice.port, frames));
        for (jack_nframes_t i = 0; i < frames; ++i)
            out[i] = tonetest::Sample(voice, player->frame + i, player->rate);
    }
    player->frame += frames;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: levora-jack-tone SERVER CHANNEL:sine:AMPLITUDE|CHANNEL:burst...\n");
        return 2;
    }
    Player player;
    for (int i = 2; i < argc; ++i) {
        Voice voice;
        if (!tonetest::ParseVoice(argv[i], voice)) {
            std::fprintf(stderr, "levora-jack-tone: bad signal '%s'\n", argv[i]);
            return 2;
        }
        player.voices.push_back(voice);
    }
    tonetest::HoldUntilSignalled();
    jack_status_t status{};
    jack_client_t* client = jack_client_open(
        "levora-tone", jack_options_t(JackNoStartServer | JackServerName | JackUseExactName),
        &status, argv[1]);
    if (client == nullptr) {
        std::fprintf(stderr, "levora-jack-tone: no JACK server '%s'\n", argv[1]);
        return 1;
    }
    player.rate = int(jack_get_sample_rate(client));
    for (Voice& voice : player.voices) {
        std::string name = "out_" + std::to_string(voice.channel);
        voice.port =
            jack_port_register(client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    }
    jack_set_process_callback(client, Process, &player);
    if (jack_activate(client) != 0)
        return 1;
    for (const Voice& voice : player.voices) {
        std::string target = "system:playback_" + std::to_string(voice.channel);
        jack_connect(client, jack_port_name(voice.port), target.c_str());
    }
    std::signal(SIGTERM, [](int) { stop = true; });
    std::signal(SIGINT, [](int) { stop = true; });
    std::printf("playing\n");
    std::fflush(stdout);
    while (!stop)
        usleep(20000);
    jack_client_close(client);
    return 0;
}
