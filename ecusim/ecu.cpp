#include "ecusim/ecu.h"

#include "ecusim/commands.h"
#include "orvane/core/logic/ecucmds.h"

#include <algorithm>
#include <utility>

namespace ecusim {

namespace {

constexpr Command kCommands[] = {
    {CMD_VERSION, "version", ReadVersion},
    {CMD_SET_PASSWORD, "set password", SetPassword},
    {CMD_PING, "ping", Ping},
    {CMD_WRITE_BEGIN, "write begin", WriteBegin},
    {CMD_WRITE_BLOCK, "write block", WriteBlock},
    {CMD_READ_AD, "read A/D", ReadAd},
    {CMD_READ_BLOCK, "read block", ReadBlock},
    {CMD_MAP_TUNING, "map tuning", MapTuning},
    {CMD_LIVE_DATA, "live data", ReadLiveData},
    {CMD_OUTPUT_TEST, "output test", TestOutput},
    {CMD_DATA_NAME, "data name", ReadDataName},
    {CMD_COC_RESET, "coc reset", ResetCoCorrection},
    {CMD_NSC_RESET, "nsc reset", ResetStepCorrection},
    {CMD_DIAG_STATUS, "diag status", ReadDiagStatus},
    {CMD_DIAG_PARAM, "diag param", ExchangeDiagParam},
    {CMD_DIAG_PASSWORD, "diag password", DiagPassword},
    {CMD_SET_VALUES, "set values", SetValues},
    {CMD_GET_VALUES, "get values", GetValues},
};

const Command* FindCommand(std::uint8_t code) {
    const auto* it = std::ranges::find(kCommands, code, &Command::code);
    return it != std::end(kCommands) ? it : nullptr;
}

constexpr std::size_t kLoggedBytes = 16; // a long payload is shown by its first bytes

} // namespace

EcuSim::EcuSim(const EcuOptions& options)
    : model(MakeEcuModel(options.password)), polls_{options.flaky, true}, transfers_{options.flakyTransfers,
                                                                                     false} {
    model.shortAcks = options.shortAcks;
    model.throttleSteps = options.throttleSteps;
    model.engine.openChannels = options.openChannels;
    model.diag = MakeDiagLog(options.diagPassword.c_str());
    model.engine.clock = options.clock;
    if (options.clock) model.engine.wallS = options.clock(); // the engine's start-up
    boot.sysType = options.bootType;
    boot.oldPing = options.bootOldPing;
}

Reply EcuSim::Answer(const Frame& frame, const char*& name) {
    name = "?";
    if (frame.boot) {
        const BootCommand* command = FindBootCommand(frame.cmd);
        if (command == nullptr) return std::nullopt;
        name = command->name;
        Reply reply = command->handle(boot, frame.data);
        // A new application runs from here on; an image without a header leaves the ECU as it was.
        if (boot.newApplication) AdoptApplication(model, *std::exchange(boot.newApplication, std::nullopt));
        return reply;
    }
    const Command* command = FindCommand(frame.cmd);
    if (command == nullptr) return std::nullopt;
    name = command->name;
    return command->handle(model, frame.data);
}

std::vector<std::uint8_t> EcuSim::Feed(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    parser_.Push(bytes);
    while (std::optional<Frame> frame = parser_.Next()) {
        AdvanceEngineToNow(model);
        const char* name = nullptr;
        const Reply reply = Answer(*frame, name);
        LogFrame("<-", *frame, name, frame->data);
        if (!reply) {
            LogFrame("--", *frame, name, {});
            continue;
        }
        const std::vector<std::uint8_t> encoded = Deliver(*frame, name, *reply);
        out.insert(out.end(), encoded.begin(), encoded.end());
    }
    return out;
}

void EcuSim::NewConnection() {
    parser_.Clear();
    model.write.reset();
}

EcuSim::Spoil EcuSim::NextReply(FlakyReplies& replies) {
    if (replies.every == 0 || ++replies.count % replies.every != 0) return Spoil::None;
    return (replies.count / replies.every % 2 == 1) == replies.lostFirst ? Spoil::Lost : Spoil::Broken;
}

std::vector<std::uint8_t> EcuSim::Deliver(const Frame& frame, const char* name,
                                          std::span<const std::uint8_t> reply) {
    std::vector<std::uint8_t> encoded =
        EncodeFrame(Frame{frame.cmd, {reply.begin(), reply.end()}, frame.boot});
    const bool poll = !frame.boot && (frame.cmd == CMD_LIVE_DATA || frame.cmd == CMD_DIAG_STATUS ||
                                      frame.cmd == CMD_DIAG_PARAM);
    const bool transfer = !frame.boot && (frame.cmd == CMD_WRITE_BEGIN || frame.cmd == CMD_WRITE_BLOCK ||
                                          frame.cmd == CMD_READ_BLOCK);
    switch (poll ? NextReply(polls_) : transfer ? NextReply(transfers_) : Spoil::None) {
    case Spoil::None:
        break;
    case Spoil::Lost:
        LogFrame("--", frame, name, {});
        return {};
    case Spoil::Broken:
        LogFrame("-x", frame, name, reply);
        encoded.back() = static_cast<std::uint8_t>(encoded.back() ^ 0xFF);
        return encoded;
    }
    LogFrame("->", frame, name, reply);
    return encoded;
}

// "<-" a request, "->" its reply, "--" a request left unanswered, "-x" a reply sent with a broken checksum;
// "j" marks the boot loader's frames.
void EcuSim::LogFrame(const char* direction, const Frame& frame, const char* name,
                      std::span<const std::uint8_t> data) const {
    if (log == nullptr) return;
    std::fprintf(log, "%s %s%02X %-12s %3zu:", direction, frame.boot ? "j" : "", frame.cmd, name,
                 data.size());
    for (std::size_t i = 0; i < std::min(data.size(), kLoggedBytes); ++i)
        std::fprintf(log, " %02X", data[i]);
    std::fprintf(log, "%s\n", data.size() > kLoggedBytes ? " ..." : "");
}

} // namespace ecusim
