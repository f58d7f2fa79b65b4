// The ranges of the lambda controller's gains, read from the text file "mtintern.ini", and the mapping
// between a lambda mode (a slider position 0..N) and the gains Kp, Ki and the tracking step.
#pragma once

#include <cstdint>
#include <string_view>

struct MtInternLimits {
    std::int32_t kpFrom, kpTo;      // Kp at position 0 and at position N, 1/10000
    std::int32_t kiFrom, kiTo;      // Ki, 1/10000
    std::uint16_t stepFrom, stepTo; // tracking step, 1/1000
    std::uint16_t lambdaModes;      // N, the highest position; never 0
};

struct LambdaGains {
    std::int32_t kp;
    std::int32_t ki;
    std::uint16_t step;
};

inline constexpr MtInternLimits kDefaultMtIntern{65536, 19661, 524, 33, 100, 200, 6};
inline constexpr char kMtInternFile[] = "mtintern.ini";

extern MtInternLimits mtInternLimits; // the ranges in force
extern LambdaGains curLambdaGains;    // the gains of the present lambda mode

// The gains of the lambda mode at a slider position become the present ones (curLambdaGains).
void SelectLambdaMode(int position);

// Reads the gains file from the working directory into mtInternLimits. Whatever the file does not supply
// keeps the built-in range; false when the file cannot be opened (the page works on with the defaults).
bool ReadMtInternFile();
// One line of the file offered to the parser: index is the data line it fills next (0..3); true when the
// line was accepted as that data line.
bool ParseMtInternLine(std::string_view line, int index, MtInternLimits& limits);

// The gains at a slider position; the position is held within 0..N.
LambdaGains LambdaGainsAt(const MtInternLimits& limits, int position);
// The slider position whose gains come nearest to these: the average of the three pairs' positions, each
// pair with equal ends left out; held within 0..N.
int LambdaModeOfGains(const MtInternLimits& limits, const LambdaGains& gains);
