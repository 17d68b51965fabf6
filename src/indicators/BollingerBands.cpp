// BOLL of the trend group: MID, the moving average of the close over the whole series, and
// the bands two deviations either side of it up to the last visible bar.
//
// Two running sums carry from bar to bar, the close's sum and the sum of squared deviations,
// and their rounding fixes every value; everything else of a bar (the average, the
// deviations, the square root, the bands) waits on them but nothing waits on it. So the bars
// go in blocks: the sums of one block run in the same loop as the squares of the block
// before (two chains side by side instead of one after the other), and the divisions,
// squares and roots of a block go four at a time in between. Every value is computed with
// the very float operations of one bar after the other.
#include <algorithm>
#include <array>
#include <cmath>

#include "common/FloatLanes.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

namespace {

constexpr int kBandBlock = 64;

/// A block of k (bar k + P - 1 each), first .. first + size - 1.
struct BandBlock {
    int first = 0, size = 0;
    alignas(16) float sumIn[kBandBlock];     ///< the close's running sum before bar k + P - 1
    alignas(16) float sums[kBandBlock];      ///< ... with it: P times MID of k
    alignas(16) float averages[kBandBlock];  ///< MID of k
    alignas(16) float rising[kBandBlock];    ///< the square of k's deviation from MID (+0 within 0.001)
    alignas(16) float leaving[kBandBlock];   ///< the square that leaves the sum with k (+0 within 0.001)
    alignas(16) float squares[kBandBlock];   ///< the sum of squares after k
};

/// `value` where |d| > 0.001 lane by lane, +0 elsewhere (NaN included).
lanes::Floats KeepBeyondThousandth(lanes::Floats value, lanes::Floats d) {
    return lanes::KeepWhere(value, (d > 0.001f) | (d < -0.001f));
}

class Bollinger {
  public:
    Bollinger(const float* close, int period, int count, double* middle, double* upper, double* lower)
        : m_close(close),
          m_period(period),
          m_count(count),
          m_middle(middle),
          m_upper(upper),
          m_lower(lower) {}

    /// k = kStart .. end - 1, the sums coming in with the state before kStart; `atLast` gets
    /// the state before k = end - 1 (bar n - 1) as the checkpoint keeps it.
    void Run(int kStart, int end, float sum, float squares, float previous, std::array<float, 4>& atLast);

  private:
    void SumStep(BandBlock& b, int j, float& sum) const {
        const int k = b.first + j;
        b.sumIn[j] = sum;
        sum += m_close[k + m_period - 1];
        b.sums[j] = sum;
        sum -= m_close[k];
    }
    /// `Full`: k >= P - 1 for every k of the block, so a square leaves at each.
    template <bool Full>
    void SquareStep(BandBlock& b, int j, float& squares) const {
        squares += b.rising[j];
        if (Full || b.first + j >= m_period - 1) {
            squares -= b.leaving[j];
            if (squares < 0.001f) squares = 0.0f;
        }
        b.squares[j] = squares;
    }
    template <bool Full>
    void SumsAndSquares(BandBlock& next, int sums, float& sum, BandBlock& current, int bands,
                        float& squares) const {
        int j = 0;
        for (; j < std::min(sums, bands); ++j) {
            SumStep(next, j, sum);
            SquareStep<Full>(current, j, squares);
        }
        for (; j < sums; ++j) SumStep(next, j, sum);
        for (; j < bands; ++j) SquareStep<Full>(current, j, squares);
    }
    /// The k of the block that have bands.
    int BandCount(const BandBlock& b) const { return std::clamp(m_count - b.first, 0, b.size); }
    void Averages(BandBlock& b) const;
    void Deviations(BandBlock& b) const;
    void Bands(BandBlock& b, float previous) const;

    const float* m_close;
    int m_period, m_count;
    double* m_middle;
    double* m_upper;
    double* m_lower;
};

void Bollinger::Averages(BandBlock& b) const {
    const lanes::Floats p = lanes::Same(static_cast<float>(m_period));
    for (int j = b.size; j % lanes::kWidth != 0; ++j) b.sums[j] = 0.0f;
    for (int j = 0; j < b.size; j += lanes::kWidth) {
        // An average whose magnitude is below 0.001 is 0.
        const lanes::Floats average = lanes::ZeroSmall(lanes::Load(b.sums + j) / p);
        lanes::Store(b.averages + j, average);
        if (b.size - j >= lanes::kWidth) {
            lanes::StoreDoubles(m_middle + b.first + j, average);
        } else {
            for (int t = 0; t < b.size - j; ++t) m_middle[b.first + j + t] = average[t];
        }
    }
    Deviations(b);
}

void Bollinger::Deviations(BandBlock& b) const {
    const int bands = BandCount(b), p = m_period;
    int j = 0;
    // The leaving square reads MID P - 1 bars back: four at a time where all four have one.
    for (; j < bands; ++j) {
        const int k = b.first + j;
        if (k >= p - 1) break;
        const float d = m_close[k + p - 1] - b.averages[j];
        b.rising[j] = Keep(d * d, Abs(d) > 0.001f);
        const float e = k >= p - 1 ? m_close[k] - static_cast<float>(m_middle[k - p + 1]) : 0.0f;
        b.leaving[j] = Keep(e * e, Abs(e) > 0.001f);
    }
    for (; j + lanes::kWidth <= bands; j += lanes::kWidth) {
        const int k = b.first + j;
        const lanes::Floats d = lanes::Load(m_close + k + p - 1) - lanes::Load(b.averages + j);
        lanes::Store(b.rising + j, KeepBeyondThousandth(d * d, d));
        const lanes::Floats e = lanes::Load(m_close + k) - lanes::FromDoubles(m_middle + k - p + 1);
        lanes::Store(b.leaving + j, KeepBeyondThousandth(e * e, e));
    }
    for (; j < bands; ++j) {
        const int k = b.first + j;
        const float d = m_close[k + p - 1] - b.averages[j];
        b.rising[j] = Keep(d * d, Abs(d) > 0.001f);
        const float e = m_close[k] - static_cast<float>(m_middle[k - p + 1]);
        b.leaving[j] = Keep(e * e, Abs(e) > 0.001f);
    }
}

void Bollinger::Bands(BandBlock& b, float previous) const {
    const int bands = BandCount(b);
    for (int j = bands; j % lanes::kWidth != 0; ++j) b.squares[j] = 0.0f;
    const lanes::Floats period = lanes::Same(static_cast<float>(m_period));
    for (int j = 0; j < bands; j += lanes::kWidth) {
        const int k = b.first + j;
        // The bands of a bar are centred on the previous bar's average; the first P - 1
        // bars' deviations are over the k + 1 bars so far.
        lanes::Floats centre, terms = period;
        if (j > 0 && k >= m_period) {
            centre = lanes::Load(b.averages + j - 1);
        } else {
            for (int t = 0; t < lanes::kWidth; ++t) {
                centre[t] = k + t == 0 ? b.averages[0] : j + t == 0 ? previous : b.averages[j + t - 1];
                terms[t] = static_cast<float>(k + t + 1 < m_period ? k + t + 1 : m_period);
            }
        }
        const lanes::Floats deviation = lanes::Sqrt(lanes::Load(b.squares + j) / terms);
        const lanes::Floats up = centre + 2.0f * deviation, down = centre - 2.0f * deviation;
        if (bands - j >= lanes::kWidth) {
            lanes::StoreDoubles(m_upper + k, up);
            lanes::StoreDoubles(m_lower + k, down);
        } else {
            for (int t = 0; t < bands - j; ++t) m_upper[k + t] = up[t], m_lower[k + t] = down[t];
        }
    }
}

void Bollinger::Run(int kStart, int end, float sum, float squares, float previous,
                    std::array<float, 4>& atLast) {
    BandBlock blocks[2];
    BandBlock* current = &blocks[0];
    BandBlock* next = &blocks[1];
    current->first = kStart;
    current->size = std::min(kBandBlock, end - kStart);
    for (int j = 0; j < current->size; ++j) SumStep(*current, j, sum);
    Averages(*current);
    const int last = end - 1;
    for (;;) {
        const int nextFirst = current->first + current->size;
        const bool more = nextFirst < end;
        next->first = nextFirst;
        next->size = more ? std::min(kBandBlock, end - nextFirst) : 0;
        const int sums = next->size, bands = BandCount(*current);
        const float squaresIn = squares;
        // The next block's sums beside this block's squares.
        if (current->first >= m_period - 1) {
            SumsAndSquares<true>(*next, sums, sum, *current, bands, squares);
        } else {
            SumsAndSquares<false>(*next, sums, sum, *current, bands, squares);
        }
        if (more) Averages(*next);
        Bands(*current, previous);
        if (last >= current->first && last < nextFirst) {
            const int at = last - current->first;
            atLast[0] = current->sumIn[at];
            atLast[1] = at == 0 ? squaresIn : current->squares[at - 1];
            atLast[2] = at == 0 ? previous : current->averages[at - 1];
        }
        if (bands > 0) previous = current->averages[bands - 1];
        if (!more) break;
        std::swap(current, next);
    }
    // Bar n - 1 without bands: the state is the one the last band left.
    if (last >= m_count) atLast[1] = squares, atLast[2] = previous;
    atLast[3] = 0.0f;
}

}  // namespace

void ComputeBoll(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                 IndicatorResult& result) {
    const int period = table[param::kBoll];
    if (period < 1) return Reset(result, 3, false);
    const int n = bars.Size();
    Reset(result, 3);
    const Span s = Clip(window, n);
    if (s.Empty()) return;
    const float* close = bars.Close(0, n);
    IndicatorLine& mid = result.lines[0];
    if (period > n) return;
    // The deviations run alongside MID up to the last visible bar (k = 0 .. while bar
    // k + P - 1 <= l), a running sum of squares of the last P of them.
    Place(mid, period - 1, n - 1);
    const int count = std::max(s.l - period + 2, 0);
    IndicatorLine& upper = Place(result.lines[1], period - 1, period - 2 + count);
    IndicatorLine& lower = Place(result.lines[2], period - 1, period - 2 + count);
    // Picked up only where the deviations ran to the last bar, now as then.
    IndicatorCheckpoint& checkpoint = result.checkpoint;
    const bool toTheEnd = count == n - period + 1;
    const int from = toTheEnd ? ResumeBar(result, n - 1, period) : ResumeBar(result, -1);
    float sum = 0.0f, squares = 0.0f, previous = 0.0f;
    if (from > 0) sum = checkpoint.sums[0], squares = checkpoint.sums[1], previous = checkpoint.sums[2];
    for (int i = 0; from == 0 && i < period - 1; ++i) sum += close[i];
    Bollinger bands(close, period, count, mid.values.data(), upper.values.data(), lower.values.data());
    bands.Run(std::max(from - period + 1, 0), n - period + 1, sum, squares, previous, checkpoint.sums);
    if (toTheEnd) checkpoint.bar = n - 1;
}

}  // namespace qelt
