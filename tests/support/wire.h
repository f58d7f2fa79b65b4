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
    const std::string& Root() const { return path_; }
    std::string Path(const char* name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Points XDG_RUNTIME_DIR at a directory of its own, so that the adapter's stand-in socket is private to
// the test; the old value comes back when the object goes.
class RuntimeDir {
  public:
    RuntimeDir();
    ~RuntimeDir();
    RuntimeDir(const RuntimeDir&) = delete;
    RuntimeDir& operator=(const RuntimeDir&) = delete;

  private:
    TempDir dir_;
    std::string saved_;
    bool hadOne_ = false;
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

// An ECU on a socket that answers each whole request frame with the raw bytes that respond() returns,
// from its own thread, one connection after the other.
class FakeEcu {
  public:
    using Respond = std::function<Bytes(const ecusim::Frame&)>;
    // On a socket of its own, attached at once as the program's link.
    explicit FakeEcu(Respond respond);
    // At path, where the program finds it when it opens the link itself (empty: a socket of its own).
    FakeEcu(Respond respond, const std::string& path);
    ~FakeEcu();
    FakeEcu(const FakeEcu&) = delete;
    FakeEcu& operator=(const FakeEcu&) = delete;
    // Every request frame seen so far.
    std::vector<ecusim::Frame> Requests() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
