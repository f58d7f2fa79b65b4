#include "orvane/core/logic/repairs.h"

namespace {

void CopyPoint(const AxisData& d, std::size_t to, std::size_t from) {
    for (std::size_t s = 0; s < d.sliceCount; ++s) {
        const std::size_t at = to * d.pointStride + s * d.sliceStride;
        const std::size_t src = from * d.pointStride + s * d.sliceStride;
        // A slice that does not lie in its span is not touched: the walk never leaves its arrays.
        if (at < d.values.size() && src < d.values.size()) d.values[at] = d.values[src];
    }
}

bool SameData(const AxisData& d, std::size_t a, std::size_t b) {
    for (std::size_t s = 0; s < d.sliceCount; ++s) {
        const std::size_t i = a * d.pointStride + s * d.sliceStride;
        const std::size_t j = b * d.pointStride + s * d.sliceStride;
        if (i < d.values.size() && j < d.values.size() && d.values[i] != d.values[j]) return false;
    }
    return true;
}

} // namespace

bool RepairAxis(std::span<std::int16_t> axis, std::span<const AxisData> shared, EqualPoints equal) {
    bool changed = false;
    for (std::size_t k = 1; k < axis.size(); ++k) {
        const bool low = axis[k] < axis[k - 1];
        if (low) axis[k] = axis[k - 1];
        if (!low && !(equal == EqualPoints::SameValues && axis[k] == axis[k - 1])) continue;
        for (const AxisData& d : shared) {
            if (!low && SameData(d, k, k - 1)) continue;
            CopyPoint(d, k, k - 1);
            changed = true;
        }
        changed = changed || low;
    }
    return changed;
}

bool RepairAxis(std::span<std::int16_t> axis, std::initializer_list<AxisData> shared, EqualPoints equal) {
    return RepairAxis(axis, std::span<const AxisData>(shared.begin(), shared.size()), equal);
}
