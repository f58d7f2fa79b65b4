// The simulator socket that stands in for the USB adapter.
#include "platform/sys/fdlink.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

std::unique_ptr<ByteLink> OpenSocketLink(const char* path, int timeoutMs) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof addr.sun_path) return nullptr;
    std::strcpy(addr.sun_path, path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    auto link = std::make_unique<FdLink>(fd, FdLink::Kind::Socket, timeoutMs);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) return nullptr;
    if (::fcntl(fd, F_SETFL, O_NONBLOCK) != 0) return nullptr;
    return link;
}

std::string SimulatorSocketPath() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && *runtimeDir != '\0')
        return std::string(runtimeDir) + "/usb-can-dervalon.sock";
    return "/tmp/usb-can-dervalon-" + std::to_string(::getuid()) + ".sock";
}
