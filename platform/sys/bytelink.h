// A raw byte link to the ECU: the USB adapter (libftdi1), a COM port (termios), or a listening simulator
// on a Unix socket in place of the adapter. Reads block until the asked count arrived or the time-out ran
// out; they return the count read (0 = nothing arrived) or a negative error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

class ByteLink {
  public:
    virtual ~ByteLink() = default;
    // Bytes written, or negative on error.
    virtual int Write(std::span<const std::uint8_t> data) = 0;
    virtual int Read(std::span<std::uint8_t> data) = 0;
    // Discards bytes received but not yet read.
    virtual bool PurgeRx() = 0;
    // Discards bytes queued for sending.
    virtual bool PurgeTx() = 0;
};

// The USB adapter: the FTDI device whose description string equals description, at 312500 baud, 8 data
// bits, 2 stop bits, no parity, the latency timer at 1 ms. When no FTDI device carries that description,
// a simulator listening at SimulatorSocketPath() takes the adapter's place. nullptr when neither opens
// (also when the device is there but busy or refuses a set-up step; it is then closed again).
std::unique_ptr<ByteLink> OpenUsbLink(const char* description, int timeoutMs);

// A serial device through termios: 38400 baud, 8 data bits, 2 stop bits, no parity, raw; pending input
// is discarded. Pseudo-terminals work as well. nullptr when the device does not open or refuses a setting.
std::unique_ptr<ByteLink> OpenComLink(const char* device, int timeoutMs);

// The device behind a port label: "COMn" is the n-th serial port (/dev/ttyS(n-1)); any other label is a
// device path as it stands.
std::string ComDevicePath(const char* label);

// A Unix stream socket connected to path; nullptr when nothing listens there.
std::unique_ptr<ByteLink> OpenSocketLink(const char* path, int timeoutMs);

// Where a simulator stands in for the USB adapter: $XDG_RUNTIME_DIR/usb-can-dervalon.sock, or
// /tmp/usb-can-dervalon-<uid>.sock when XDG_RUNTIME_DIR is unset or empty.
std::string SimulatorSocketPath();
