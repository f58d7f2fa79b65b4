// The far end of the ECU link for tests: a pseudo-terminal pair (the COM path) or a Unix socket (the
// adapter path), attached to the link layer, with the test holding the ECU's side of the wire.
#pragma once

#include "ecusim/frame.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const char* name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

class Wire {
  public:
    enum class Kind { Pty, Socket };
    // Opens the link layer's side (isComOpen := 1) with a read time-out of timeoutSec.
    Wire(Kind kind, double timeoutSec);
    ~Wire(); // closes both sides
    Wire(const Wire&) = delete;
    Wire& operator=(const Wire&) = delete;

    void Send(const Bytes& bytes) const;
    // Waits until the link side can read what was sent (a pseudo-terminal passes bytes on asynchronously).
    void AwaitDelivery() const;
    // Reads exactly n bytes that the link side wrote; fewer when nothing more comes within a second.
    Bytes Receive(std::size_t n) const;
    // Bytes the link side wrote and that are already waiting.
    Bytes Pending() const;

  private:
    TempDir dir_;
    int peer_ = -1;
    int probe_ = -1; // a second handle on the pseudo-terminal's link side, only to see what it can read
};

// An ECU on the socket path that answers each whole request frame with the raw bytes that respond()
// returns, from its own thread.
class FakeEcu {
  public:
    using Respond = std::function<Bytes(const ecusim::Frame&)>;
    explicit FakeEcu(Respond respond);
    ~FakeEcu();
    FakeEcu(const FakeEcu&) = delete;
    FakeEcu& operator=(const FakeEcu&) = delete;
    // Every request frame seen so far (safe to read once the exchange under test has returned).
    std::vector<ecusim::Frame> Requests() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
