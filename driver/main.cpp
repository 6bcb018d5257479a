#include "driver/ctl_client.h"
#include "driver/daemon_options.h"
#include "driver/driver_directory.h"
#include "driver/driver_server.h"
#include "driver/sim_driver.h"
#include "driver/user_config.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/signalfd.h>
#include <vector>

namespace {

int Serve(sim::DaemonOptions options) {
    if (options.configFile.empty() && options.cards.empty()) {
        options.configFile = sim::ExistingUserConfigFile();
        if (!options.configFile.empty())
            std::fprintf(stderr, "levora-driver: cards from %s\n", options.configFile.c_str());
    }
    sim::DriverConfig config;
    std::string error;
    if (!sim::BuildDaemonConfig(options, config, error)) {
        std::fprintf(stderr, "levora-driver: %s\n", error.c_str());
        return 1;
    }
    // SIGTERM and SIGINT arrive as a readable descriptor in the poll loop, so the sockets are
    // removed on the way out.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    unix_socket::UniqueFd stopFd(signalfd(-1, &stopSignals, SFD_CLOEXEC));
    std::signal(SIGPIPE, SIG_IGN);

    std::string directory = options.directory.empty()
                                ? sim::ResolveDriverDirectory(sim::CurrentDirectoryEnvironment())
                                : options.directory;
    sim::SteadySimClock clock;
    sim::SimDriver driver(config, clock);
    DriverServer server(driver, directory, std::chrono::milliseconds(options.clientTimeoutMs));
    if (!stopFd.Valid() || !server.Start(error)) {
        std::fprintf(stderr, "levora-driver: %s\n", error.c_str());
        return 1;
    }
    int cards = 0;
    for (int slot = 0; slot < driver_protocol::kCardSlots; ++slot)
        cards += driver.IsPlugged(slot);
    std::fprintf(stderr, "levora-driver: serving %d card%s in %s\n", cards, cards == 1 ? "" : "s",
                 directory.c_str());
    server.Run(stopFd.Get());
    std::fprintf(stderr, "levora-driver: stopped\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    sim::CommandLine commandLine;
    std::string error;
    if (!sim::ParseCommandLine(args, commandLine, error)) {
        std::fprintf(stderr, "levora-driver: %s\nTry 'levora-driver --help'.\n", error.c_str());
        return 2;
    }
    switch (commandLine.mode) {
    case sim::Mode::Help:
        std::fwrite(sim::UsageText().data(), 1, sim::UsageText().size(), stdout);
        return 0;
    case sim::Mode::Ctl:
        return RunCtl(commandLine.ctl);
    case sim::Mode::Serve:
        break;
    }
    return Serve(commandLine.serve);
}
