#pragma once
/// Storage of the bar columns kept on a thread after their BarColumns went, for the next ones.
///
/// A new series (another goods, another period) gets new columns, and fresh memory from the
/// system is faulted in page by page as the first paint writes it: on a virtual machine that
/// cost as much as gathering the numbers. The columns of a series that went are kept instead
/// (a bounded amount) and handed to the next series that fits in them.
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace qelt {

template <typename Value>
class ColumnPool {
  public:
    /// This thread's pool.
    static ColumnPool& OfThisThread() {
        thread_local ColumnPool pool;
        return pool;
    }

    /// Room for at least `count` values: the smallest kept buffer that holds them, or a new one.
    std::unique_ptr<Value[]> Take(std::size_t count) {
        std::size_t best = m_kept.size();
        for (std::size_t i = 0; i < m_kept.size(); ++i) {
            if (m_kept[i].count >= count && (best == m_kept.size() || m_kept[i].count < m_kept[best].count))
                best = i;
        }
        if (best == m_kept.size()) return std::make_unique_for_overwrite<Value[]>(count);
        std::unique_ptr<Value[]> values = std::move(m_kept[best].values);
        m_keptValues -= m_kept[best].count;
        m_kept.erase(m_kept.begin() + static_cast<std::ptrdiff_t>(best));
        return values;
    }

    /// Keeps `values` (room for `count`) for a later Take, unless the pool is full.
    void Give(std::unique_ptr<Value[]> values, std::size_t count) {
        if (!values || m_kept.size() >= kMaxBuffers || m_keptValues + count > kMaxValues) return;
        m_keptValues += count;
        m_kept.push_back({std::move(values), count});
    }

  private:
    /// The columns of two series of 100,000 bars.
    static constexpr std::size_t kMaxBuffers = 16;
    static constexpr std::size_t kMaxValues = 1600000;

    struct Kept {
        std::unique_ptr<Value[]> values;
        std::size_t count;
    };
    std::vector<Kept> m_kept;
    std::size_t m_keptValues = 0;
};

}  // namespace qelt
