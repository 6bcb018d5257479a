#include "driver/ctl_client.h"

#include "driver/control_commands.h"
#include "driver/driver_directory.h"
#include "driver/unix_socket.h"

#include <cstdio>
#include <sys/socket.h>

namespace {

constexpr auto kReplyDeadline = std::chrono::seconds(5);
constexpr size_t kMaxReply = 1 << 20;

int Fail(const std::string& text) {
    std::fprintf(stderr, "levora-driver: %s\n", text.c_str());
    return 1;
}

} // namespace

int RunCtl(const sim::CtlOptions& options) {
    using namespace unix_socket;
    std::string directory = options.directory.empty()
                                ? sim::ResolveDriverDirectory(sim::CurrentDirectoryEnvironment())
                                : options.directory;
    std::string why;
    if (sim::CheckDriverDirectory(directory, why) != sim::DirectoryState::Usable)
        return Fail("no driver to talk to: " + why);
    UniqueFd fd = Connect(directory + "/control");
    if (!fd.Valid() || !PeerIsSameUser(fd.Get()))
        return Fail("no driver answers in " + directory);

    auto deadline = Clock::now() + kReplyDeadline;
    std::string line = options.command + "\n";
    std::string reply;
    if (!SendAll(fd.Get(), line.data(), line.size(), deadline) ||
        !ReceiveUntilClosed(fd.Get(), reply, kMaxReply, deadline))
        return Fail("the driver in " + directory + " did not answer");

    if (reply.empty() || reply.back() != '\n')
        return Fail("the driver in " + directory + " sent a broken answer");
    // The output lines, then one status line: "ok" or "error: why".
    std::string_view body(reply.data(), reply.size() - 1);
    size_t cut = body.rfind('\n');
    cut = cut == std::string_view::npos ? 0 : cut + 1;
    std::fwrite(body.data(), 1, cut, stdout);
    if (!sim::ReplySucceeded(reply))
        return Fail(std::string(body.substr(cut)));
    return 0;
}
