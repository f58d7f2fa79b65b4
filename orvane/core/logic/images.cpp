// The two data images and their reference copies, held for the whole run.
#include "orvane/core/logic/images.h"

#include <cstring>

EcuParData ecuParData;
EcuMapData ecuMapData;
EcuParData ecuParRefData;
EcuMapData ecuMapRefData;

namespace {

template <class Data> bool SameBytes(const Data& a, const Data& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

void CopyEcuDataToRef(std::uint16_t kind) {
    if (kind == kParKind) ecuParRefData = ecuParData;
    if (kind == kMapKind) ecuMapRefData = ecuMapData;
}

bool IsEcuDataChanged(std::uint16_t kind) {
    if (kind == kParKind) return !SameBytes(ecuParData, ecuParRefData);
    if (kind == kMapKind) return !SameBytes(ecuMapData, ecuMapRefData);
    return false;
}

void InitEcuRefData() {
    CopyEcuDataToRef(kParKind);
    CopyEcuDataToRef(kMapKind);
}
