#include "ecusim/ecu.h"

#include "ecusim/commands.h"

#include <algorithm>

namespace ecusim {

namespace {

constexpr Command kCommands[] = {
    {0x01, "version", ReadVersion},
    {0x02, "set password", SetPassword},
    {0x03, "ping", Ping},
    {0x04, "write begin", WriteBegin},
    {0x05, "write block", WriteBlock},
    {0x08, "read block", ReadBlock},
    {0x06, "live data", ReadLiveData},
    {0x0A, "output test", TestOutput},
    {0x10, "diag status", ReadDiagStatus},
    {0x11, "diag param", ExchangeDiagParam},
    {0x13, "diag password", DiagPassword},
    {0x0E, "data name", ReadDataName},
    {0x1E, "set values", SetValues},
    {0x1F, "get values", GetValues},
};

const Command* FindCommand(std::uint8_t code) {
    const auto* it = std::ranges::find(kCommands, code, &Command::code);
    return it != std::end(kCommands) ? it : nullptr;
}

constexpr std::size_t kLoggedBytes = 16; // a long payload is shown by its first bytes

} // namespace

EcuSim::EcuSim(const EcuOptions& options) : model(MakeEcuModel(options.password)), flaky_(options.flaky) {
    model.shortAcks = options.shortAcks;
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

std::vector<std::uint8_t> EcuSim::Deliver(std::uint8_t cmd, std::span<const std::uint8_t> reply) {
    std::vector<std::uint8_t> encoded = EncodeFrame(cmd, reply);
    const bool poll = cmd == 0x06 || cmd == 0x10 || cmd == 0x11;
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
