// The USB adapter through libftdi1, found among the FTDI devices by its description string. Without such
// a device the simulator socket takes its place, so the program runs against a simulated ECU unchanged.
#include "platform/sys/bytelink.h"
#include "platform/sys/fdlink.h"

#include <cstring>
#include <libftdi1/ftdi.h>

namespace {

constexpr int kAdapterBaud = 312500;
// The chip sends what it holds once this many ms have passed; its default of 16 ms would be paid on
// every reply.
constexpr unsigned char kLatencyMs = 1;

struct FtdiContextDeleter {
    void operator()(ftdi_context* ctx) const { ftdi_free(ctx); } // also closes an open device
};
using FtdiContext = std::unique_ptr<ftdi_context, FtdiContextDeleter>;

struct DeviceListDeleter {
    void operator()(ftdi_device_list* list) const { ftdi_list_free2(list); }
};

class FtdiLink final : public ByteLink {
  public:
    FtdiLink(FtdiContext ctx, int timeoutMs) : ctx_(std::move(ctx)), timeoutMs_(timeoutMs) {}

    int Write(std::span<const std::uint8_t> data) override {
        return ftdi_write_data(ctx_.get(), data.data(), static_cast<int>(data.size()));
    }

    // ftdi_read_data hands over what has arrived so far; when nothing has, the chip answers after its
    // latency time, so this loop waits in steps of about 1 ms without spinning.
    int Read(std::span<std::uint8_t> data) override {
        const long long deadline = MonotonicMs() + timeoutMs_;
        int done = 0;
        const int want = static_cast<int>(data.size());
        while (done < want) {
            const int n = ftdi_read_data(ctx_.get(), data.data() + done, want - done);
            if (n < 0) return n;
            done += n;
            if (done < want && MonotonicMs() >= deadline) break;
        }
        return done;
    }

    bool PurgeRx() override { return ftdi_tciflush(ctx_.get()) == 0; }
    bool PurgeTx() override { return ftdi_tcoflush(ctx_.get()) == 0; }

  private:
    FtdiContext ctx_;
    int timeoutMs_;
};

enum class Search { Opened, Absent, Failed };

// Finds the device by description and opens it; a set-up step that fails closes it again (the context
// owns it), so a later attempt can open it anew.
Search OpenFtdi(const char* description, int timeoutMs, std::unique_ptr<ByteLink>& link) {
    FtdiContext ctx(ftdi_new());
    if (!ctx) return Search::Absent;
    ftdi_device_list* found = nullptr;
    if (ftdi_usb_find_all(ctx.get(), &found, 0, 0) < 0) return Search::Absent;
    const std::unique_ptr<ftdi_device_list, DeviceListDeleter> list(found);
    bool unreadable = false; // a device we may not open might be the adapter
    for (ftdi_device_list* d = found; d != nullptr; d = d->next) {
        char text[128] = {};
        if (ftdi_usb_get_strings(ctx.get(), d->dev, nullptr, 0, text, sizeof text, nullptr, 0) != 0) {
            unreadable = true;
            continue;
        }
        if (std::strcmp(text, description) != 0) continue;
        if (ftdi_usb_open_dev(ctx.get(), d->dev) != 0) return Search::Failed;
        ctx->usb_read_timeout = timeoutMs;
        ctx->usb_write_timeout = timeoutMs;
        if (ftdi_set_baudrate(ctx.get(), kAdapterBaud) != 0 ||
            ftdi_set_line_property(ctx.get(), BITS_8, STOP_BIT_2, NONE) != 0 ||
            ftdi_set_latency_timer(ctx.get(), kLatencyMs) != 0) {
            return Search::Failed;
        }
        link = std::make_unique<FtdiLink>(std::move(ctx), timeoutMs);
        return Search::Opened;
    }
    // An adapter that is plugged in but cannot be read (no permission, busy) must not be mistaken for an
    // absent one: the program would quietly talk to whatever listens on the simulator socket.
    return unreadable ? Search::Failed : Search::Absent;
}

} // namespace

std::unique_ptr<ByteLink> OpenUsbLink(const char* description, int timeoutMs) {
    std::unique_ptr<ByteLink> link;
    switch (OpenFtdi(description, timeoutMs, link)) {
    case Search::Opened:
        return link;
    case Search::Failed:
        return nullptr;
    case Search::Absent:
        break;
    }
    return OpenSocketLink(SimulatorSocketPath().c_str(), timeoutMs);
}
