// Records stored as raw bytes. Writing goes to a temporary file that is renamed over the target, so the
// target holds either the old or the new record, never a part of one.
#include "platform/sys/utility.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when the scope ends.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

bool WriteAll(int fd, std::span<const std::byte> data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n <= 0) return false;
        data = data.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

int ArrayToFile(const char* path, std::span<const std::byte> data) {
    if (path == nullptr || *path == '\0') return FILE_OPEN_ERROR;
    const std::string temp = std::string(path) + ".tmp" + std::to_string(getpid());
    {
        const Fd out{open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
        if (out.fd < 0) return FILE_OPEN_ERROR;
        // The renamed file takes the place of the old one: it gets the old one's permissions too.
        struct stat old {};
        const bool keepMode = stat(path, &old) == 0 && S_ISREG(old.st_mode);
        if (!WriteAll(out.fd, data) || (keepMode && fchmod(out.fd, old.st_mode & 07777) != 0) ||
            fsync(out.fd) != 0) {
            unlink(temp.c_str());
            return FILE_WRITE_ERROR;
        }
    }
    if (std::rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return FILE_WRITE_ERROR;
    }
    return FILE_OK;
}

bool FileExists(const char* path) {
    struct stat st {};
    return path != nullptr && stat(path, &st) == 0;
}

namespace {

// Reads the first data.size() bytes of a regular file; whole: the file must hold exactly that many.
int ReadRecord(const char* path, std::span<std::byte> data, bool whole) {
    if (path == nullptr) return FILE_OPEN_ERROR;
    const Fd in{open(path, O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (in.fd < 0 || fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) return FILE_OPEN_ERROR;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (whole ? size != data.size() : size < data.size()) return FILE_SIZE_ERROR;
    // Read into a copy first: a file that changes size under us must not leave data half written.
    std::string bytes(data.size(), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(in.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) return FILE_OPEN_ERROR;
        if (n == 0) return FILE_SIZE_ERROR;
        got += static_cast<std::size_t>(n);
    }
    char extra = 0;
    if (whole && read(in.fd, &extra, 1) != 0) return FILE_SIZE_ERROR;
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::byte>(bytes[i]);
    return FILE_OK;
}

} // namespace

int FileToArray(const char* path, std::span<std::byte> data) {
    return ReadRecord(path, data, true);
}

int FileHeadToArray(const char* path, std::span<std::byte> data) {
    return ReadRecord(path, data, false);
}
