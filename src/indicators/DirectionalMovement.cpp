// DMI of the trend group: PDI and MDI, the directional movements' share of the range over P
// bars, and ADX and ADXR, their spread averaged over Q bars.
//
// Five running sums carry from bar to bar (+DM, -DM and the range over P; PDI and MDI over
// Q), and their rounding fixes every value; the divisions that make PDI, MDI and ADX of a bar
// wait on them, but no sum waits on a division of its own bar. So the bars go in blocks: the
// P sums of one block run in the same loop as the Q sums of the block before, and each
// block's divisions go four at a time in between, with the very float operations of one bar
// after the other.
#include <algorithm>
#include <cmath>

#include "common/FloatLanes.h"
#include "indicators/ComputeSupport.h"
#include "indicators/IndicatorComputations.h"

namespace qelt {

using namespace compute;

namespace {

constexpr int kDirectionBlock = 64;

/// A running sum: the new value comes in; from `period` elements on `leaving` goes out, and
/// a magnitude below 0.001 left after that becomes 0.
inline float SlideClamped(float sum, float value, bool full, float leaving) {
    sum += value;
    if (full) {
        sum -= leaving;
        if (Abs(sum) < 0.001f) sum = 0.0f;
    }
    return sum;
}

/// A block of computed bars j = first .. first + size - 1 (bar start + j each).
struct MovementBlock {
    int first = 0, size = 0;
    alignas(16) float plusShare[kDirectionBlock];   ///< 100 times the +DM sum
    alignas(16) float minusShare[kDirectionBlock];  ///< 100 times the -DM sum
    alignas(16) float range[kDirectionBlock];       ///< the range sum
    alignas(16) float pdi[kDirectionBlock];
    alignas(16) float mdi[kDirectionBlock];
    alignas(16) float spread[kDirectionBlock];  ///< 100 |PDI sum - MDI sum|
    alignas(16) float total[kDirectionBlock];   ///< PDI sum + MDI sum
};

/// numerator / denominator lane by lane, 0 where the denominator is 0.
lanes::Floats ShareOf(const float* numerators, const float* denominators) {
    const lanes::Floats denominator = lanes::Load(denominators);
    return lanes::KeepWhere(lanes::Load(numerators) / denominator, denominator != 0.0f);
}

void StoreLane(double* out, lanes::Floats values, int count) {
    if (count >= lanes::kWidth) return lanes::StoreDoubles(out, values);
    for (int t = 0; t < count; ++t) out[t] = values[t];
}

class Movement {
  public:
    Movement(const float* plus, const float* minus, const float* range, int p, int q, double* pdi,
             double* mdi, double* adx, double* adxr)
        : m_plus(plus),
          m_minus(minus),
          m_range(range),
          m_p(p),
          m_q(q),
          m_pdi(pdi),
          m_mdi(mdi),
          m_adx(adx),
          m_adxr(adxr) {}

    /// Bars j = 0 .. count - 1.
    void Run(int count);

  private:
    /// `Full`: j >= P and j >= Q for every j of the blocks, so an element leaves each sum.
    template <bool Full>
    void SumsBeside(MovementBlock& next, MovementBlock& current);
    void Shares(MovementBlock& b) const;
    void Averages(MovementBlock& b);

    const float* m_plus;
    const float* m_minus;
    const float* m_range;
    int m_p, m_q;
    double* m_pdi;
    double* m_mdi;
    double* m_adx;
    double* m_adxr;
    float m_sumPlus = 0.0f, m_sumMinus = 0.0f, m_sumRange = 0.0f, m_sumPdi = 0.0f, m_sumMdi = 0.0f;
    float m_previousAdx = 0.0f;
};

template <bool Full>
void Movement::SumsBeside(MovementBlock& next, MovementBlock& current) {
    const std::size_t p = static_cast<std::size_t>(m_p), q = static_cast<std::size_t>(m_q);
    float sumPlus = m_sumPlus, sumMinus = m_sumMinus, sumRange = m_sumRange;
    float sumPdi = m_sumPdi, sumMdi = m_sumMdi;
    auto pSums = [&](int k) __attribute__((always_inline)) {
        const std::size_t j = static_cast<std::size_t>(next.first + k);
        const bool full = Full || j >= p;
        sumPlus = SlideClamped(sumPlus, m_plus[j], full, full ? m_plus[j - p] : 0.0f);
        sumMinus = SlideClamped(sumMinus, m_minus[j], full, full ? m_minus[j - p] : 0.0f);
        sumRange = SlideClamped(sumRange, m_range[j], full, full ? m_range[j - p] : 0.0f);
        next.plusShare[k] = 100.0f * sumPlus;
        next.minusShare[k] = 100.0f * sumMinus;
        next.range[k] = sumRange;
    };
    // PDI and MDI leave their sums as they were stored (floats, exact in the lines).
    auto qSums = [&](int k) __attribute__((always_inline)) {
        const std::size_t j = static_cast<std::size_t>(current.first + k);
        const bool full = Full || j >= q;
        sumPdi = SlideClamped(sumPdi, current.pdi[k], full, full ? static_cast<float>(m_pdi[j - q]) : 0.0f);
        sumMdi = SlideClamped(sumMdi, current.mdi[k], full, full ? static_cast<float>(m_mdi[j - q]) : 0.0f);
        current.spread[k] = 100.0f * Abs(sumPdi - sumMdi);
        current.total[k] = sumPdi + sumMdi;
    };
    int k = 0;
    const int both = std::min(next.size, current.size);
    for (; k < both; ++k) pSums(k), qSums(k);
    for (; k < next.size; ++k) pSums(k);
    for (; k < current.size; ++k) qSums(k);
    m_sumPlus = sumPlus, m_sumMinus = sumMinus, m_sumRange = sumRange, m_sumPdi = sumPdi, m_sumMdi = sumMdi;
}

void Movement::Shares(MovementBlock& b) const {
    for (int k = b.size; k % lanes::kWidth != 0; ++k) b.plusShare[k] = b.minusShare[k] = b.range[k] = 0.0f;
    for (int k = 0; k < b.size; k += lanes::kWidth) {
        const lanes::Floats pdi = ShareOf(b.plusShare + k, b.range + k);
        const lanes::Floats mdi = ShareOf(b.minusShare + k, b.range + k);
        lanes::Store(b.pdi + k, pdi);
        lanes::Store(b.mdi + k, mdi);
        StoreLane(m_pdi + b.first + k, pdi, b.size - k);
        StoreLane(m_mdi + b.first + k, mdi, b.size - k);
    }
}

void Movement::Averages(MovementBlock& b) {
    for (int k = b.size; k % lanes::kWidth != 0; ++k) b.spread[k] = b.total[k] = 0.0f;
    alignas(16) float adx[kDirectionBlock + lanes::kWidth];
    adx[lanes::kWidth - 1] = m_previousAdx;
    float* shifted = adx + lanes::kWidth;  // shifted[k - 1] is the ADX before bar k
    for (int k = 0; k < b.size; k += lanes::kWidth)
        lanes::Store(shifted + k, ShareOf(b.spread + k, b.total + k));
    for (int k = 0; k < b.size; k += lanes::kWidth) {
        const lanes::Floats now = lanes::Load(shifted + k);
        StoreLane(m_adx + b.first + k, now, b.size - k);
        StoreLane(m_adxr + b.first + k, (lanes::Load(shifted + k - 1) + now) / 2.0f, b.size - k);
    }
    m_previousAdx = shifted[b.size - 1];
}

void Movement::Run(int count) {
    if (count <= 0) return;
    MovementBlock blocks[2];
    MovementBlock* current = &blocks[0];
    MovementBlock* next = &blocks[1];
    MovementBlock none;
    current->first = 0;
    current->size = std::min(kDirectionBlock, count);
    SumsBeside<false>(*current, none);
    Shares(*current);
    const int full = std::max(m_p, m_q);
    for (;;) {
        next->first = current->first + current->size;
        next->size = std::clamp(count - next->first, 0, kDirectionBlock);
        if (current->first >= full) {
            SumsBeside<true>(*next, *current);
        } else {
            SumsBeside<false>(*next, *current);
        }
        if (next->size > 0) Shares(*next);
        Averages(*current);
        if (next->size == 0) break;
        std::swap(current, next);
    }
    m_adxr[0] = m_adx[0];  // the first bar has no ADX before it
}

}  // namespace

void ComputeDmi(BarColumns& bars, const IndicatorWindow& window, const IndicatorParameters& table,
                IndicatorResult& result) {
    const int period = table[param::kDmiPeriod];
    const int average = table[param::kDmiAverage];
    if (!AllAtLeast(1, {period, average})) return Reset(result, 4, false);
    const Span s = Clip(window, bars.Size());
    Reset(result, 4);
    if (s.Empty()) return;
    const int start = BarAt(std::int64_t{s.f} - period, s.l);
    const int from = std::max(start - 1, 0);
    bars.Read(kOpen | kHigh | kLow, from, s.l + 1);
    const float* open = bars.Open(from, s.l + 1);
    const float* high = bars.High(from, s.l + 1);
    const float* low = bars.Low(from, s.l + 1);
    const std::size_t count = static_cast<std::size_t>(s.l - start + 1);
    for (auto& line : result.lines) Place(line, start, s.l);
    // +DM, -DM and the true range of every computed bar, kept until they leave the sums.
    std::vector<float>& plus = Scratch(0, count);
    std::vector<float>& minus = Scratch(1, count);
    std::vector<float>& range = Scratch(2, count);
    auto one = [&](std::size_t j) {
        const int i = start + static_cast<int>(j);
        const float up = i > 0 ? high[i] - high[i - 1] : 0.0f;
        const float down = i > 0 ? low[i - 1] - low[i] : 0.0f;
        plus[j] = Keep(up, up > Abs(down));
        minus[j] = Keep(down, down > Abs(up));
        // The range of the bar itself, against its own open rather than the previous close.
        range[j] = std::max(std::max(Abs(high[i] - low[i]), Abs(high[i] - open[i])), Abs(low[i] - open[i]));
    };
    std::size_t j = 0;
    if (start == 0 && count > 0) one(j++);  // the first bar moves neither way
    for (; j + lanes::kWidth <= count; j += lanes::kWidth) {
        const int i = start + static_cast<int>(j);
        const lanes::Floats h = lanes::Load(high + i), l = lanes::Load(low + i), o = lanes::Load(open + i);
        const lanes::Floats up = h - lanes::Load(high + i - 1), down = lanes::Load(low + i - 1) - l;
        lanes::Store(plus.data() + j, lanes::KeepWhere(up, up > lanes::Abs(down)));
        lanes::Store(minus.data() + j, lanes::KeepWhere(down, down > lanes::Abs(up)));
        lanes::Store(range.data() + j,
                     lanes::Max(lanes::Max(lanes::Abs(h - l), lanes::Abs(h - o)), lanes::Abs(l - o)));
    }
    for (; j < count; ++j) one(j);
    Movement movement(plus.data(), minus.data(), range.data(), period, average, result.lines[0].values.data(),
                      result.lines[1].values.data(), result.lines[2].values.data(),
                      result.lines[3].values.data());
    movement.Run(static_cast<int>(count));
}

}  // namespace qelt
