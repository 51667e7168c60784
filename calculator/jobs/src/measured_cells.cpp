#include "calcjobs/measured_cells.h"

#include <vector>

#include "dataformats/file_layouts.h"

namespace calcjobs {

bool ParseUnmeasuredRule(const std::string& text, UnmeasuredRule* rule) {
    if (text == "none")
        *rule = UnmeasuredRule::kNone;
    else if (text == "zero-runs")
        *rule = UnmeasuredRule::kZeroRuns;
    else
        return false;
    return true;
}

void MarkZeroRuns(const orimath::Grid2<double>& values, orimath::Grid2<uint8_t>* measured) {
    const int nA = values.alphaCount(), nB = values.betaCount();
    const int period = nB - 1; // the last column repeats beta = 0
    if (period < kZeroRunLength || measured->extent() != values.extent())
        return;
    std::vector<uint8_t> zero(period);
    for (int i = 0; i < nA; ++i) {
        const double* row = values[i];
        uint8_t* m = (*measured)[i];
        bool nonZero = false;
        for (int j = 0; j < period; ++j) {
            zero[j] = row[j] == 0.0;
            nonZero |= m[j] && !zero[j];
        }
        if (!nonZero)
            continue; // an empty ring is the row rule's business
        // Start just after a non-zero value, so a run that wraps round
        // beta = 360 is seen whole.
        int first = 0;
        while (zero[first])
            ++first;
        int run = 0;
        for (int s = 1; s <= period; ++s) {
            const int j = (first + s) % period;
            if (zero[j]) {
                ++run;
                continue;
            }
            if (run >= kZeroRunLength)
                for (int r = 1; r <= run; ++r)
                    m[(j - r + period) % period] = 0;
            run = 0;
        }
        m[period] = m[0];
    }
}

long long MeasuredPoleFigure::MeasuredCount() const {
    if (measured.empty())
        return static_cast<long long>(values.size());
    long long n = 0;
    for (uint8_t v : measured.values())
        n += v != 0;
    return n;
}

bool ReadMeasuredPoleFigure(const std::string& path, UnmeasuredRule rule, MeasuredPoleFigure* out) {
    dataformats::FileProbe probe(path);
    const dataformats::FileLayout* layout =
        dataformats::DetectLayout(probe, dataformats::FileFamily::PoleFigure);
    if (!layout)
        return false;
    auto data = layout->Read(path);
    if (!data || data->grid2.empty())
        return false;
    out->values = std::move(data->grid2);
    out->measured = std::move(data->measured);
    if (rule == UnmeasuredRule::kZeroRuns) {
        orimath::Grid2<uint8_t> mask = out->measured.empty()
                                           ? orimath::Grid2<uint8_t>(out->values.extent(), 1)
                                           : out->measured;
        MarkZeroRuns(out->values, &mask);
        bool any = false;
        for (uint8_t v : mask.values())
            any |= v == 0;
        out->measured = any ? std::move(mask) : orimath::Grid2<uint8_t>();
    }
    return true;
}

} // namespace calcjobs
