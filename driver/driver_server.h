#pragma once

#include "device/driver_protocol.h"
#include "driver/sim_driver.h"
#include "driver/unix_socket.h"

#include <array>
#include <chrono>
#include <string>
#include <vector>

// The daemon's single-threaded poll() loop: a listening socket per plugged card, the control
// socket, and the connections in flight, each with a deadline so that a client that
// connects and sends nothing holds nobody else up.
class DriverServer {
public:
    DriverServer(sim::SimDriver& driver, std::string directory,
                 std::chrono::milliseconds clientTimeout);
    // Removes the sockets.
    ~DriverServer();
    DriverServer(const DriverServer&) = delete;
    DriverServer& operator=(const DriverServer&) = delete;

    // Creates the directory (mode 0700) or checks an existing one, makes sure no other
    // driver serves it, and opens the sockets.
    bool Start(std::string& error);

    // Serves until `stopFd` becomes readable (the signal descriptor of SIGTERM and SIGINT).
    void Run(int stopFd);

private:
    struct Listener {
        unix_socket::UniqueFd fd;
        std::string path;
    };
    struct Connection {
        unix_socket::UniqueFd fd;
        int slot; // the card's slot, or kControl
        unix_socket::Clock::time_point deadline;
        std::vector<uint8_t> request;
        std::vector<uint8_t> reply;
        size_t sent = 0;
        bool replying = false;
        bool done = false;
    };
    static constexpr int kControl = driver_protocol::kCardSlots;

    bool OpenListener(int index, std::string& error);
    void CloseListener(int index);
    void SyncDeviceSockets();
    void Accept(int index);
    void Receive(Connection& c);
    void TakeDeviceRequest(Connection& c);
    void TakeControlCommand(Connection& c);
    void Send(Connection& c);
    int PollTimeoutMs() const;

    sim::SimDriver& driver_;
    std::string directory_;
    std::chrono::milliseconds clientTimeout_;
    unix_socket::UniqueFd lock_;
    std::array<Listener, driver_protocol::kCardSlots + 1> listeners_;
    std::vector<Connection> connections_;
};
