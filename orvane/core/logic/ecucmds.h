// The commands the ECU answers on the link and the fixed sizes of their payloads, in one place so that
// every exchange and the simulator agree on them.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::uint8_t CMD_VERSION = 0x01;       // -> version text
inline constexpr std::uint8_t CMD_SET_PASSWORD = 0x02;  // new password, 15 bytes -> empty reply
inline constexpr std::uint8_t CMD_PING = 0x03;          // login keys -> firmware name and state flags
inline constexpr std::uint8_t CMD_WRITE_BEGIN = 0x04;   // area, size -> ready
inline constexpr std::uint8_t CMD_WRITE_BLOCK = 0x05;   // block bytes -> count accepted so far
inline constexpr std::uint8_t CMD_LIVE_DATA = 0x06;     // bench adjustments -> the live record
inline constexpr std::uint8_t CMD_READ_AD = 0x07;       // channel -> 12-bit reading
inline constexpr std::uint8_t CMD_READ_BLOCK = 0x08;    // area, offset, count -> the bytes
inline constexpr std::uint8_t CMD_MAP_TUNING = 0x09;    // sub-frame told apart by length -> its reply
inline constexpr std::uint8_t CMD_OUTPUT_TEST = 0x0A;   // which output -> empty reply
inline constexpr std::uint8_t CMD_DATA_NAME = 0x0E;     // data-set kind -> its name
inline constexpr std::uint8_t CMD_COC_RESET = 0x12;     // 1 or 2: which CO correction -> empty reply
inline constexpr std::uint8_t CMD_DIAG_STATUS = 0x10;   // -> the diagnostic status record
inline constexpr std::uint8_t CMD_DIAG_PARAM = 0x11;    // parameter read or write -> the parameter
inline constexpr std::uint8_t CMD_DIAG_PASSWORD = 0x13; // diagnostics password -> accepted or not
inline constexpr std::uint8_t CMD_NSC_RESET = 0x14;     // -> empty reply
inline constexpr std::uint8_t CMD_SET_VALUES = 0x1E;    // selector, block -> selector echoed
inline constexpr std::uint8_t CMD_GET_VALUES = 0x1F;    // selector -> block

// Data areas of CMD_READ_BLOCK and CMD_WRITE_BEGIN; the data-set kinds of the transfers are the numbers
// of their areas.
enum DataSetArea : std::uint16_t {
    AREA_PAR = 1,
    AREA_MAP_SLOT1 = 2,
    AREA_MAP_SLOT2 = 3,
    AREA_MAP1_BLOCK = 9,
    AREA_MAP2_BLOCK = 10,
    AREA_MAP3_BLOCK = 11,
    AREA_TUNING_4X_BLOCK = 12, // the four-matrix map of the map set under tuning
    AREA_TUNING_1X_BLOCK = 13, // the single-matrix map of the map set under tuning
    AREA_MAP_TUNING = 14,      // the mapping data set of the map set under tuning
    AREA_COC_MAP_A = 20,
    AREA_COC_MAP_B = 21,
};

// The data sets CMD_DATA_NAME names.
enum DataNameKind : std::uint8_t {
    NAME_PAR = 0,
    NAME_MAP_SLOT1 = 1,
    NAME_MAP_SLOT2 = 2,
    NAME_MAP_TUNING = 8, // the map set under tuning
};

// Value blocks of CMD_GET_VALUES and CMD_SET_VALUES: the first two selector bytes.
inline constexpr std::uint8_t VALUES_INFO = 7;       // the information blocks, read
inline constexpr std::uint8_t INFO_ENGINE = 1;       // engInfo
inline constexpr std::uint8_t INFO_WHEEL = 2;        // twaInfo
inline constexpr std::uint8_t INFO_MISC = 3;         // miscInfo
inline constexpr std::uint8_t INFO_COC_EDIT = 4;     // the CO-correction load reference
inline constexpr std::uint8_t VALUES_TUNING_ROW = 3; // a row of a map under tuning, written (row, matrix)
inline constexpr std::uint8_t TUNING_ROW_4X = 7;     // of the four-matrix map
inline constexpr std::uint8_t TUNING_ROW_1X = 8;     // of the single-matrix map

inline constexpr int kPasswordLength = 15;           // CMD_SET_PASSWORD payload
inline constexpr std::size_t kPingReplySize = 12;    // CMD_PING reply: firmware name (8) and flags
inline constexpr std::size_t kFwNameSize = 8;        // the firmware name at the start of the ping reply
inline constexpr std::size_t kWriteAckSize = 4;      // CMD_WRITE_BLOCK reply: bytes accepted, big-endian
inline constexpr std::size_t kValueSelectorSize = 4; // CMD_GET_VALUES / CMD_SET_VALUES selector
