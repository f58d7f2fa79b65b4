// The boot loader's link: its frame, the two waiting styles and the commands Kestil sends. The frame is
// the same in both directions: 0x6A, checksum, cmd, len, len data bytes; the checksum is the sum of cmd,
// len and the data modulo 256. Multi-byte values inside payloads are big-endian.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t kBloadStart = 0x6A;
inline constexpr int kBloadHeader = 4; // start, checksum, cmd, len
inline constexpr int kBloadMaxData = 255;

extern const char chrSOM; // the start byte as a character, 'j'

enum BloadCommand : std::uint8_t {
    BL_PING = 1,
    BL_GET_INFO = 2,     // sub-id 1 system type, 2 version, 3 name
    BL_GET_APP_INFO = 3, // sub-id 1 version and suffix, 2 name, 3 and 4 information texts
    BL_ERASE = 5,
    BL_WRITE_BLOCK = 6,
    BL_GET_CUST_ID = 15,
};

inline constexpr std::uint16_t kSysType5600 = 0x5600;
inline constexpr std::uint16_t kSysType5534 = 0x5534;

extern std::uint16_t sysType; // system type of the boot loader; 0 while none has been identified
extern bool fOldBload;        // the boot loader answered the old (bare) ping

inline constexpr double kEraseWait = 5.0; // seconds an erase may take
inline constexpr double kBlockWait = 2.5; // seconds a block write may take

// Sends one frame; true when it went out. len > 0 needs data.
bool TxCommand(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len);
// Reads one reply frame for cmd: 0 received and valid (data copied to buf, length to outLen), 1 nothing
// received, -1 error. buf is written only for a good frame.
int RxResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen);
// The ping in the form the boot loader understands: a failed ping switches to the other form for the
// next one; a good one tells fOldBload which form was answered.
bool Ping();
// Forgets the ping form: the next ping starts with the old form again.
void ResetPingForm();
// Erases one flash area of the identified system type (5 s for the empty reply); an area that system
// type does not have is refused without traffic.
bool EraseArea(std::uint8_t area);
// Sends one frame and waits up to 2.5 s for its empty reply.
bool SendAndWait(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len);
// Reads the system type into sysType: true for 0x5600 or 0x5534.
bool CheckBloadInfo();
