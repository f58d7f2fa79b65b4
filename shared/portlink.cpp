#include "shared/portlink.h"

#include "platform/sys/bytelink.h"

std::uint8_t isComOpen = 0;
double secTimeOut = 0.5;

namespace {

constexpr const char* kAdapterDescription = "USB CAN Dervalon";

std::unique_ptr<ByteLink> comLink; // the open link; empty while closed
std::uint32_t linkSession = 0;

int TimeOutMs() {
    return static_cast<int>(secTimeOut * 1000);
}

} // namespace

void AttachComLink(std::unique_ptr<ByteLink> link) {
    comLink = std::move(link);
    isComOpen = comLink ? 1 : 0;
    ++linkSession;
}

std::uint32_t LinkSession() {
    return linkSession;
}

bool OpenPortLink(std::int16_t port, const char* label) {
    CloseComPort();
    AttachComLink(port < 0 ? OpenUsbLink(kAdapterDescription, TimeOutMs())
                           : OpenComLink(ComDevicePath(label).c_str(), TimeOutMs()));
    return isComOpen != 0;
}

void CloseComPort() {
    AttachComLink(nullptr);
}

ByteLink* ComLink() {
    return comLink.get();
}

bool ProbeComPort(const char* label) {
    return OpenComLink(ComDevicePath(label).c_str(), TimeOutMs()) != nullptr;
}
