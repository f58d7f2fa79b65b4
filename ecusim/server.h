// Serving the simulated ECU on a Unix stream socket, where the program looks for it when no USB adapter
// is plugged in. Raw link bytes both ways, one client at a time.
#pragma once

#include "ecusim/ecu.h"

#include <atomic>
#include <string>

namespace ecusim {

struct ServeOptions {
    // Hold every byte for its wire time at 312500 baud with 8 data bits and 2 stop bits (11 bits a byte),
    // both ways, so that transfers take as long as through the adapter.
    bool pace = false;
    const std::atomic<bool>* stop = nullptr; // when set and true, serving ends within 0.2 s
};

// Listens at path, replacing a stale socket file; the path appears only once it takes connections. The
// descriptor, or -1.
int ListenUnixSocket(const std::string& path);
// Serves the clients of a listening socket until stop. One client is served at a time, and a new one
// takes over from the one before (whose connection is closed), starting with an empty frame reader and no
// write in progress. The ECU keeps its data sets across clients, as a unit does when the adapter is
// unplugged and plugged in again, and its engine runs on by its clock whether a client asks or not.
void ServeClients(int listenFd, EcuSim& sim, const ServeOptions& options);

} // namespace ecusim
