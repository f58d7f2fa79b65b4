// The simulated ECU: bytes in, reply bytes out. It holds the model and the frame parser and dispatches
// every whole frame to the handler of its command.
#pragma once

#include "ecusim/bootloader.h"
#include "ecusim/frame.h"
#include "ecusim/model.h"

#include <cstdio>
#include <string>
#include <vector>

namespace ecusim {

struct EcuOptions {
    std::string password; // empty: the ECU is not locked
    bool shortAcks = false;
    std::uint16_t bootType = kBootType5600;          // system type of the boot loader
    bool bootOldPing = false;                        // the boot loader answers the old (bare) ping only
    std::vector<double> throttleSteps;               // see EcuModel::throttleSteps
    std::uint16_t openChannels = 0;                  // see EngineState::openChannels
    std::string diagPassword = kDefaultDiagPassword; // empty: the diagnostics are open
    // Every flaky-th reply to a poll (live data, diagnostics) is lost, the next such one arrives with a
    // broken checksum, and so on by turns; 0: never.
    unsigned flaky = 0;
    // Every flakyTransfers-th reply to a block transfer (write begin, write block, read block) arrives with
    // a broken checksum, the next such one is lost, and so on by turns; 0: never. A broken reply comes
    // first, since a lost write acknowledgement keeps the workbench waiting for its reply time.
    unsigned flakyTransfers = 0;
    // The clock the engine runs by, from the moment the ECU is made; empty: the engine moves only as
    // AdvanceEngine moves it.
    WallClock clock;
};

class EcuSim {
  public:
    explicit EcuSim(const EcuOptions& options = {});

    // Takes received bytes in chunks of any size; returns the reply frames to the requests completed. The
    // engine is brought up to its clock before each frame is answered, whatever it asks.
    std::vector<std::uint8_t> Feed(std::span<const std::uint8_t> bytes);
    // A new client is on the line: nothing of the last one's half-sent frame or unfinished write may be
    // taken as the new one's. The data sets stay.
    void NewConnection();

    EcuModel model;
    BootLoader boot;          // answers the frames that start with 0x6A
    std::FILE* log = nullptr; // when set, every frame seen and answered is written there

  private:
    // The reply to one frame of either kind, and the name of its command for the log.
    Reply Answer(const Frame& frame, const char*& name);
    void LogFrame(const char* direction, const Frame& frame, const char* name,
                  std::span<const std::uint8_t> data) const;

    // The frame of a reply as it leaves, after the flaky options have had their say; empty: dropped.
    std::vector<std::uint8_t> Deliver(const Frame& frame, const char* name,
                                      std::span<const std::uint8_t> reply);

    // Replies of one kind that a flaky option spoils: every every-th of them, by turns lost and broken.
    struct FlakyReplies {
        unsigned every = 0; // 0: none
        bool lostFirst = true;
        unsigned count = 0; // replies of the kind so far
    };
    enum class Spoil { None, Lost, Broken };
    static Spoil NextReply(FlakyReplies& replies);

    FrameParser parser_;
    FlakyReplies polls_;
    FlakyReplies transfers_;
};

} // namespace ecusim
