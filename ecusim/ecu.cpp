#include "ecusim/ecu.h"

#include "ecusim/commands.h"
#include "orvane/core/ecucmds.h"

#include <algorithm>

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

EcuSim::EcuSim(const EcuOptions& options) : model(MakeEcuModel(options.password)), flaky_(options.flaky) {
    model.shortAcks = options.shortAcks;
    model.throttleSteps = options.throttleSteps;
    model.diag = MakeDiagLog(options.diagPassword.c_str());
}

std::vector<std::uint8_t> EcuSim::Feed(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> out;
    parser_.Push(bytes);
    while (std::optional<Frame> frame = parser_.Next()) {
        LogFrame("<-", frame->cmd, frame->data);
        const Command* command = FindCommand(frame->cmd);
        const Reply reply = command != nullptr ? command->handle(model, frame->data) : std::nullopt;
        if (!reply) {
            LogFrame("--", frame->cmd, {});
            continue;
        }
        const std::vector<std::uint8_t> encoded = Deliver(frame->cmd, *reply);
        out.insert(out.end(), encoded.begin(), encoded.end());
    }
    return out;
}

void EcuSim::NewConnection() {
    parser_.Clear();
    model.write.reset();
}

std::vector<std::uint8_t> EcuSim::Deliver(std::uint8_t cmd, std::span<const std::uint8_t> reply) {
    std::vector<std::uint8_t> encoded = EncodeFrame(cmd, reply);
    const bool poll = cmd == CMD_LIVE_DATA || cmd == CMD_DIAG_STATUS || cmd == CMD_DIAG_PARAM;
    if (flaky_ == 0 || !poll || ++pollReplies_ % flaky_ != 0) {
        LogFrame("->", cmd, reply);
        return encoded;
    }
    if (pollReplies_ / flaky_ % 2 == 1) {
        LogFrame("--", cmd, {});
        return {};
    }
    LogFrame("-x", cmd, reply);
    encoded.back() = static_cast<std::uint8_t>(encoded.back() ^ 0xFF);
    return encoded;
}

// "<-" a request, "->" its reply, "--" a request left unanswered, "-x" a reply sent with a broken checksum.
void EcuSim::LogFrame(const char* direction, std::uint8_t cmd, std::span<const std::uint8_t> data) const {
    if (log == nullptr) return;
    const Command* command = FindCommand(cmd);
    std::fprintf(log, "%s %02X %-12s %3zu:", direction, cmd, command != nullptr ? command->name : "?",
                 data.size());
    for (std::size_t i = 0; i < std::min(data.size(), kLoggedBytes); ++i)
        std::fprintf(log, " %02X", data[i]);
    std::fprintf(log, "%s\n", data.size() > kLoggedBytes ? " ..." : "");
}

} // namespace ecusim
