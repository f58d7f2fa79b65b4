#include "orvane/core/logic/dataheader.h"

#include <cstring>

const std::uint8_t appVer = 1;
const std::uint8_t appSub = 13;
const char appExtra[] = "a";
const char appDataName[] = "Orvane";

namespace {

// Copies text into a fixed field, zero-filling the rest; a text that fills the field has no terminator.
template <std::size_t N> void PutField(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::memcpy(field, text, strnlen(text, N));
}

} // namespace

void MakeDataHeader(DataHeader& header) {
    PutField(header.name, appDataName);
    header.version = appVer;
    header.subVersion = appSub;
    PutField(header.suffix, appExtra);
    std::memset(header.zero, 0, sizeof header.zero);
}

int CheckDataHeader(const DataHeader& header) {
    DataHeader own;
    MakeDataHeader(own);
    if (std::memcmp(header.name, own.name, sizeof own.name) != 0) return -1;
    if (header.version != own.version || header.subVersion != own.subVersion) return -2;
    if (std::memcmp(header.suffix, own.suffix, sizeof own.suffix) != 0) return -3;
    return 0;
}

std::string DataHeaderText(const DataHeader& header) {
    std::string text(header.name, strnlen(header.name, sizeof header.name));
    text += " v" + std::to_string(header.version) + "." + std::to_string(header.subVersion);
    text.append(header.suffix, strnlen(header.suffix, sizeof header.suffix));
    return text;
}
