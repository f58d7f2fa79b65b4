#include "ecusim/imagewriter.h"

namespace ecusim {

void FillGrid(const ImageWriter& w, Grid g, const Axis& x, const Axis& y, const CellOf& cell) {
    const std::size_t cells = static_cast<std::size_t>(g.rows) * static_cast<std::size_t>(g.cols);
    const std::size_t axes = g.offset + 2 * cells * static_cast<std::size_t>(g.matrices);
    for (int c = 0; c < g.cols; ++c)
        w.Word(axes + 2 * static_cast<std::size_t>(c), x(c));
    for (int r = 0; r < g.rows; ++r)
        w.Word(axes + 2 * static_cast<std::size_t>(g.cols + r), y(r));
    std::size_t at = g.offset;
    for (int m = 0; m < g.matrices; ++m)
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.cols; ++c, at += 2)
                w.Word(at, cell(m, x(c), y(r)));
}

void FillCurve(const ImageWriter& w, std::size_t offset, const Axis& bp,
               const std::function<double(double)>& value) {
    for (int k = 0; k < 16; ++k) {
        const std::size_t at = offset + 2 * static_cast<std::size_t>(k);
        w.Word(at + 32, bp(k));
        w.Word(at, value(bp(k)));
    }
}

} // namespace ecusim
