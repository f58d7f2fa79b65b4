// Byte layouts of the ECU's two data sets: the configuration data (EcuParData) and the mapping data
// (EcuMapData), the table shapes they are built from, the 64-byte header that opens both, and the
// EcuImage form in which a data set travels on the link.
//
// In memory and in the data files every multi-byte field is in host (little-endian) order; on the link
// it is big-endian. Which fields are words is fixed by the field table in byteorder.h; the records here
// give the names and, through static_assert, pin every size and offset, so a stray member can never
// shift the file or link format.
//
// Stretches whose meaning belongs to an editor page are kept as arrays named by their offset in the
// image (w = 16-bit words, b = bytes): wXXXX[i] lies at offset 0xXXXX + 2 * i.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// ---- header -------------------------------------------------------------------------------------------

inline constexpr std::size_t kDataNameSize = 30;
inline constexpr std::size_t kDataSuffixSize = 16;

// A name or suffix that fills its whole field has no terminating zero inside the field.
struct DataHeader {
    char name[kDataNameSize];
    std::uint8_t version;
    std::uint8_t subVersion;
    char suffix[kDataSuffixSize];
    std::uint8_t zero[16];
};
static_assert(sizeof(DataHeader) == 64);
static_assert(offsetof(DataHeader, version) == 30);
static_assert(offsetof(DataHeader, subVersion) == 31);
static_assert(offsetof(DataHeader, suffix) == 32);
static_assert(offsetof(DataHeader, zero) == 48);

inline constexpr std::uint16_t kEndMarker = 0xE0B5;

// A record as the bytes it lies in (files, the link and byte order see records so).
template <class Record> std::span<std::byte> BytesOf(Record& record) {
    return std::as_writable_bytes(std::span(&record, 1));
}
inline constexpr std::size_t kNotesSize = 400;

// ---- table shapes: cells row by row, then column (x) breakpoints, then row (y) breakpoints ------------

struct Curve16 {
    std::int16_t values[16];
    std::int16_t x[16]; // non-decreasing
};
static_assert(sizeof(Curve16) == 64);

struct MiniMap {
    std::int16_t cells[8][16];
    std::int16_t x[16];
    std::int16_t y[8];
};
static_assert(sizeof(MiniMap) == 304);
static_assert(offsetof(MiniMap, x) == 256);
static_assert(offsetof(MiniMap, y) == 288);

struct ExtMiniMap {
    std::int16_t cells[10][16];
    std::int16_t x[16];
    std::int16_t y[10];
};
static_assert(sizeof(ExtMiniMap) == 372);
static_assert(offsetof(ExtMiniMap, x) == 0x140);
static_assert(offsetof(ExtMiniMap, y) == 0x160);

struct CylMiniMaps {
    std::int16_t cells[4][8][16]; // one matrix per cylinder
    std::int16_t x[16];
    std::int16_t y[8];
};
static_assert(sizeof(CylMiniMaps) == 1072);
static_assert(offsetof(CylMiniMaps, x) == 1024);
static_assert(offsetof(CylMiniMaps, y) == 1056);

struct Map20x32 {
    std::int16_t cells[20][32];
    std::int16_t x[32];
    std::int16_t y[20];
};
static_assert(sizeof(Map20x32) == 1384);
static_assert(offsetof(Map20x32, x) == 1280);
static_assert(offsetof(Map20x32, y) == 1344);

struct Map4x20x32 {
    std::int16_t cells[4][20][32];
    std::int16_t x[32];
    std::int16_t y[20];
};
static_assert(sizeof(Map4x20x32) == 5224);
static_assert(offsetof(Map4x20x32, x) == 5120);
static_assert(offsetof(Map4x20x32, y) == 5184);

struct Map6x20x32 {
    std::int16_t cells[6][20][32];
    std::int16_t x[32];
    std::int16_t y[20];
};
static_assert(sizeof(Map6x20x32) == 7784);
static_assert(offsetof(Map6x20x32, x) == 7680);
static_assert(offsetof(Map6x20x32, y) == 7744);

// Thirty-six matrices, gear-major (matrix index = gear * 6 + level), then the shared axes and the six
// acceleration (z) breakpoints of each gear.
struct Map6x6x20x32 {
    std::int16_t cells[6][6][20][32];
    std::int16_t x[32];
    std::int16_t y[20];
    std::int16_t z[6][6];
};
static_assert(sizeof(Map6x6x20x32) == 46256);
static_assert(offsetof(Map6x6x20x32, x) == 46080);
static_assert(offsetof(Map6x6x20x32, y) == 46144);
static_assert(offsetof(Map6x6x20x32, z) == 46184);

// ---- configuration data -------------------------------------------------------------------------------

struct PickUpTable {
    std::int16_t values[32];
    std::int16_t x[32];
};
static_assert(sizeof(PickUpTable) == 128);

struct EcuParData {
    DataHeader header;             // 0x000
    char notes[kNotesSize];        // 0x040, zero-terminated
    ExtMiniMap dwell;              // 0x1D0
    PickUpTable pickUp;            // 0x344
    Curve16 linThrottle;           // 0x3C4
    Curve16 linWaterTemp;          // 0x404
    Curve16 linAirTemp;            // 0x444
    Curve16 linManifoldPressure;   // 0x484
    Curve16 linTractionSelector;   // 0x4C4
    Curve16 linLambda1;            // 0x504
    Curve16 linLambda2;            // 0x544
    Curve16 linFork;               // 0x584
    Curve16 linShock;              // 0x5C4
    Curve16 linExtDbwGas;          // 0x604
    std::int16_t battOffsets1[16]; // 0x644
    std::int16_t battOffsets2[16]; // 0x664
    std::int16_t battX[16];        // 0x684
    std::int32_t idlKp;            // 0x6A4, 16.16 fixed point
    std::int32_t idlKi;            // 0x6A8
    std::int32_t idlKd;            // 0x6AC
    std::uint16_t w6B0[13];        // 0x6B0
    std::uint8_t b6CA[12];         // 0x6CA: engine type trigger[4], injector 1[4], injector 2[4]
    std::uint16_t w6D6[5];         // 0x6D6
    std::uint8_t b6E0[20];         // 0x6E0: injection kind, transmission, cylinders, wheel, cam
    std::uint16_t w6F4[63];        // 0x6F4
    std::uint8_t b772[18];         // 0x772
    std::uint16_t w784[21];        // 0x784
    std::uint8_t b7AE[24];         // 0x7AE
    std::uint8_t reserved7C6[924]; // 0x7C6: the ECU's own, kept as loaded or received
    std::uint16_t canFrames[58];   // 0xB62
    std::uint16_t endMarker;       // 0xBD6
};
static_assert(sizeof(EcuParData) == 3032);
static_assert(offsetof(EcuParData, notes) == 0x040);
static_assert(offsetof(EcuParData, dwell) == 0x1D0);
static_assert(offsetof(EcuParData, pickUp) == 0x344);
static_assert(offsetof(EcuParData, linThrottle) == 0x3C4);
static_assert(offsetof(EcuParData, linExtDbwGas) == 0x604);
static_assert(offsetof(EcuParData, battOffsets1) == 0x644);
static_assert(offsetof(EcuParData, idlKp) == 0x6A4);
static_assert(offsetof(EcuParData, w6B0) == 0x6B0);
static_assert(offsetof(EcuParData, b6CA) == 0x6CA);
static_assert(offsetof(EcuParData, w6D6) == 0x6D6);
static_assert(offsetof(EcuParData, b6E0) == 0x6E0);
static_assert(offsetof(EcuParData, w6F4) == 0x6F4);
static_assert(offsetof(EcuParData, b772) == 0x772);
static_assert(offsetof(EcuParData, w784) == 0x784);
static_assert(offsetof(EcuParData, b7AE) == 0x7AE);
static_assert(offsetof(EcuParData, reserved7C6) == 0x7C6);
static_assert(offsetof(EcuParData, canFrames) == 0xB62);
static_assert(offsetof(EcuParData, endMarker) == 0xBD6);

// ---- mapping data -------------------------------------------------------------------------------------

struct TcLevelRecord {
    std::int16_t w[2];
    std::uint8_t b[16];
};
static_assert(sizeof(TcLevelRecord) == 20);

struct EcuMapData {
    DataHeader header;              // 0x00000
    char notes[kNotesSize];         // 0x00040, zero-terminated
    Map6x6x20x32 map9;              // 0x001D0
    Map6x6x20x32 map10;             // 0x0B680
    Map4x20x32 map1;                // 0x16B30
    Map4x20x32 map2;                // 0x17F98
    Map20x32 map3;                  // 0x19400
    Map6x20x32 map5;                // 0x19968
    Map6x20x32 map6;                // 0x1B7D0
    Map6x20x32 map14;               // 0x1D638
    Map6x20x32 map15;               // 0x1F4A0
    Map6x20x32 map16;               // 0x21308
    Map6x20x32 map17;               // 0x23170
    Map20x32 map13;                 // 0x24FD8
    Map20x32 map7;                  // 0x25540
    Map20x32 map8;                  // 0x25AA8
    Map20x32 map4;                  // 0x26010
    Map20x32 map11;                 // 0x26578
    Map20x32 map12;                 // 0x26AE0
    CylMiniMaps injTrims;           // 0x27048
    CylMiniMaps advOffsets;         // 0x27478
    ExtMiniMap cocMapA;             // 0x278A8
    ExtMiniMap cocMapB;             // 0x27A1C
    ExtMiniMap tcMapKj;             // 0x27B90
    ExtMiniMap tcMapKa;             // 0x27D04
    MiniMap mapInjNeut;             // 0x27E78
    MiniMap mapAdvNeut;             // 0x27FA8
    MiniMap mapInjCuts;             // 0x280D8
    MiniMap mapAdvCuts;             // 0x28208
    MiniMap mapAdvAls;              // 0x28338
    MiniMap mapPhaseL;              // 0x28468
    MiniMap mapPhaseH;              // 0x28598
    std::int16_t transient[6][32];  // 0x286C8
    std::int16_t bypassAir[8][32];  // 0x28848
    Curve16 injCorr[4];             // 0x28A48
    Curve16 advCorr[4];             // 0x28B48
    std::uint16_t w28C48[1703];     // 0x28C48
    std::uint8_t b29996[2];         // 0x29996
    std::uint16_t w29998[172];      // 0x29998
    std::uint8_t b29AF0[2];         // 0x29AF0
    std::uint16_t w29AF2[10];       // 0x29AF2
    std::uint8_t b29B06[2];         // 0x29B06
    std::uint16_t w29B08[2];        // 0x29B08
    std::uint8_t b29B0C[24];        // 0x29B0C
    std::uint16_t w29B24[12];       // 0x29B24
    std::uint8_t b29B3C[12];        // 0x29B3C
    std::uint16_t w29B48[41];       // 0x29B48
    std::uint8_t b29B9A[6];         // 0x29B9A
    std::uint16_t w29BA0[45];       // 0x29BA0
    std::uint8_t b29BFA[2];         // 0x29BFA
    std::uint16_t w29BFC[19];       // 0x29BFC
    std::uint8_t b29C22[2];         // 0x29C22
    std::uint16_t w29C24[2];        // 0x29C24
    std::uint8_t b29C28[16];        // 0x29C28
    TcLevelRecord tcLevels[64];     // 0x29C38
    std::uint8_t tcEnable;          // 0x2A138
    std::uint8_t b2A139;            // 0x2A139
    std::uint16_t w2A13A[222];      // 0x2A13A
    std::uint8_t b2A2F6[12];        // 0x2A2F6
    std::uint8_t singleMatFlags[2]; // 0x2A302
    std::uint8_t unused2A304[210];  // 0x2A304: the ECU's own, kept as loaded or received
    std::uint16_t endMarker;        // 0x2A3D6
};
static_assert(sizeof(EcuMapData) == 173016);
static_assert(offsetof(EcuMapData, notes) == 0x00040);
static_assert(offsetof(EcuMapData, map9) == 0x001D0);
static_assert(offsetof(EcuMapData, map10) == 0x0B680);
static_assert(offsetof(EcuMapData, map1) == 0x16B30);
static_assert(offsetof(EcuMapData, map2) == 0x17F98);
static_assert(offsetof(EcuMapData, map3) == 0x19400);
static_assert(offsetof(EcuMapData, map5) == 0x19968);
static_assert(offsetof(EcuMapData, map6) == 0x1B7D0);
static_assert(offsetof(EcuMapData, map14) == 0x1D638);
static_assert(offsetof(EcuMapData, map15) == 0x1F4A0);
static_assert(offsetof(EcuMapData, map16) == 0x21308);
static_assert(offsetof(EcuMapData, map17) == 0x23170);
static_assert(offsetof(EcuMapData, map13) == 0x24FD8);
static_assert(offsetof(EcuMapData, map7) == 0x25540);
static_assert(offsetof(EcuMapData, map8) == 0x25AA8);
static_assert(offsetof(EcuMapData, map4) == 0x26010);
static_assert(offsetof(EcuMapData, map11) == 0x26578);
static_assert(offsetof(EcuMapData, map12) == 0x26AE0);
static_assert(offsetof(EcuMapData, injTrims) == 0x27048);
static_assert(offsetof(EcuMapData, advOffsets) == 0x27478);
static_assert(offsetof(EcuMapData, cocMapA) == 0x278A8);
static_assert(offsetof(EcuMapData, cocMapB) == 0x27A1C);
static_assert(offsetof(EcuMapData, tcMapKj) == 0x27B90);
static_assert(offsetof(EcuMapData, tcMapKa) == 0x27D04);
static_assert(offsetof(EcuMapData, mapInjNeut) == 0x27E78);
static_assert(offsetof(EcuMapData, mapAdvNeut) == 0x27FA8);
static_assert(offsetof(EcuMapData, mapInjCuts) == 0x280D8);
static_assert(offsetof(EcuMapData, mapAdvCuts) == 0x28208);
static_assert(offsetof(EcuMapData, mapAdvAls) == 0x28338);
static_assert(offsetof(EcuMapData, mapPhaseL) == 0x28468);
static_assert(offsetof(EcuMapData, mapPhaseH) == 0x28598);
static_assert(offsetof(EcuMapData, transient) == 0x286C8);
static_assert(offsetof(EcuMapData, bypassAir) == 0x28848);
static_assert(offsetof(EcuMapData, injCorr) == 0x28A48);
static_assert(offsetof(EcuMapData, advCorr) == 0x28B48);
static_assert(offsetof(EcuMapData, w28C48) == 0x28C48);
static_assert(offsetof(EcuMapData, b29996) == 0x29996);
static_assert(offsetof(EcuMapData, w29998) == 0x29998);
static_assert(offsetof(EcuMapData, b29AF0) == 0x29AF0);
static_assert(offsetof(EcuMapData, w29AF2) == 0x29AF2);
static_assert(offsetof(EcuMapData, b29B06) == 0x29B06);
static_assert(offsetof(EcuMapData, w29B08) == 0x29B08);
static_assert(offsetof(EcuMapData, b29B0C) == 0x29B0C);
static_assert(offsetof(EcuMapData, w29B24) == 0x29B24);
static_assert(offsetof(EcuMapData, b29B3C) == 0x29B3C);
static_assert(offsetof(EcuMapData, w29B48) == 0x29B48);
static_assert(offsetof(EcuMapData, b29B9A) == 0x29B9A);
static_assert(offsetof(EcuMapData, w29BA0) == 0x29BA0);
static_assert(offsetof(EcuMapData, b29BFA) == 0x29BFA);
static_assert(offsetof(EcuMapData, w29BFC) == 0x29BFC);
static_assert(offsetof(EcuMapData, b29C22) == 0x29C22);
static_assert(offsetof(EcuMapData, w29C24) == 0x29C24);
static_assert(offsetof(EcuMapData, b29C28) == 0x29C28);
static_assert(offsetof(EcuMapData, tcLevels) == 0x29C38);
static_assert(offsetof(EcuMapData, tcEnable) == 0x2A138);
static_assert(offsetof(EcuMapData, w2A13A) == 0x2A13A);
static_assert(offsetof(EcuMapData, b2A2F6) == 0x2A2F6);
static_assert(offsetof(EcuMapData, singleMatFlags) == 0x2A302);
static_assert(offsetof(EcuMapData, unused2A304) == 0x2A304);
static_assert(offsetof(EcuMapData, endMarker) == 0x2A3D6);

// ---- the form of a data set on the link ---------------------------------------------------------------

inline constexpr std::size_t kEcuNameSize = 32;

struct EcuImagePrefix {
    std::uint32_t length;     // image size - 8
    std::uint16_t checksum;   // over image bytes 10 to the end, in link order
    std::uint8_t reserved[2]; // not set by the sender; a received image keeps what came
    char name[kEcuNameSize];  // data-set name, zero-terminated (at most 31 characters)
};
static_assert(sizeof(EcuImagePrefix) == 40);
static_assert(offsetof(EcuImagePrefix, checksum) == 4);
static_assert(offsetof(EcuImagePrefix, reserved) == 6);
static_assert(offsetof(EcuImagePrefix, name) == 8);

template <class Data> struct EcuImage {
    EcuImagePrefix prefix;
    Data data;
};
using EcuParImage = EcuImage<EcuParData>;
using EcuMapImage = EcuImage<EcuMapData>;
static_assert(sizeof(EcuParImage) == 3072);
static_assert(sizeof(EcuMapImage) == 173056);
static_assert(offsetof(EcuParImage, data) == 40);
static_assert(offsetof(EcuMapImage, data) == 40);
