// A serial port as the ECU link: raw 8 data bits, 2 stop bits, no parity and no flow control, reads that
// return at once with what has come (the link does its own waiting).
#include "platform/sys/fdlink.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

std::unique_ptr<ByteLink> OpenComLink(const char* device, int timeoutMs) {
    const int fd = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    auto link = std::make_unique<FdLink>(fd, FdLink::Kind::Terminal, timeoutMs);
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return nullptr;
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | CSIZE | CRTSCTS);
    t.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, B38400) != 0 || ::cfsetospeed(&t, B38400) != 0) return nullptr;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) return nullptr;
    if (!link->PurgeRx()) return nullptr;
    return link;
}

std::string ComDevicePath(const char* label) {
    if (std::strncmp(label, "COM", 3) == 0 && label[3] >= '1' && label[3] <= '9') {
        char* end = nullptr;
        const long n = std::strtol(label + 3, &end, 10);
        if (*end == '\0') return "/dev/ttyS" + std::to_string(n - 1);
    }
    return label;
}
