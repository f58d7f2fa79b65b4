#include "platform/sys/fdlink.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

long long MonotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

FdLink::FdLink(int fd, Kind kind, int timeoutMs) : fd_(fd), kind_(kind), timeoutMs_(timeoutMs) {}

FdLink::~FdLink() {
    ::close(fd_);
}

int FdLink::WaitReady(short events, long long deadlineMs) const {
    for (;;) {
        const long long left = deadlineMs - MonotonicMs();
        if (left <= 0) return 0;
        pollfd p{fd_, events, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        // A device that hung up or failed never becomes ready: report it instead of waiting it out.
        if (r > 0) return (p.revents & events) != 0 ? 1 : -1;
        if (r < 0 && errno != EINTR) return -1;
    }
}

int FdLink::Write(std::span<const std::uint8_t> data) {
    const long long deadline = MonotonicMs() + timeoutMs_;
    std::size_t done = 0;
    while (done < data.size()) {
        // A socket whose peer has gone must report an error, not raise SIGPIPE.
        const ssize_t n = kind_ == Kind::Socket
                              ? ::send(fd_, data.data() + done, data.size() - done, MSG_NOSIGNAL)
                              : ::write(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return -1;
        } else if (const int ready = WaitReady(POLLOUT, deadline); ready <= 0) {
            if (ready < 0) return -1;
            break;
        }
    }
    return static_cast<int>(done);
}

int FdLink::Read(std::span<std::uint8_t> data) {
    const long long deadline = MonotonicMs() + timeoutMs_;
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd_, data.data() + done, data.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 && kind_ == Kind::Socket) {
            // The peer closed: nothing more will come, as with an unplugged adapter.
            return done > 0 ? static_cast<int>(done) : -1;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return -1;
        } else if (const int ready = WaitReady(POLLIN, deadline); ready <= 0) {
            if (ready < 0) return done > 0 ? static_cast<int>(done) : -1;
            break;
        }
    }
    return static_cast<int>(done);
}

bool FdLink::PurgeRx() {
    if (kind_ == Kind::Terminal) return ::tcflush(fd_, TCIFLUSH) == 0;
    std::uint8_t sink[256];
    for (;;) {
        const ssize_t n = ::recv(fd_, sink, sizeof sink, MSG_DONTWAIT);
        if (n > 0) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// Bytes still going out belong to a frame already sent; cutting them off would glue its remains to the
// next frame, so nothing is discarded on the way out.
bool FdLink::PurgeTx() {
    return true;
}
