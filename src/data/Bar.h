#pragma once
/// `CBarRow`: one bar of a series, the ten texts date, open_price, close_price,
/// highest_price, lowest_price, num, avg_price, pure_num, null_num and due_date.
///
/// A store holds about a thousand contracts with a few thousand bars each, so a bar is kept
/// compact: the ten texts back to back in one string with their end offsets beside it
/// (about 130 bytes a bar instead of ten separately allocated strings). Reading a field
/// gives a view that stays valid until the row is changed or destroyed.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

/// Field positions of a bar, as the "line" reply and the history table order them.
enum BarField : std::size_t {
    kBarDate = 0,
    kBarOpen = 1,
    kBarClose = 2,
    kBarHigh = 3,
    kBarLow = 4,
    kBarNum = 5,
    kBarAvg = 6,
    kBarPure = 7,
    kBarNull = 8,
    kBarDue = 9,
};

class CBarRow {
  public:
    static constexpr std::size_t kFieldCount = 10;
    /// A row never grows beyond this many bytes of text; longer input is cut.
    static constexpr std::size_t kMaxText = 4096;

    CBarRow() = default;
    /// The first ten of `fields`; missing ones are empty, extra ones are dropped.
    explicit CBarRow(const std::vector<std::string_view>& fields);
    CBarRow(std::initializer_list<std::string_view> fields);

    std::size_t size() const { return kFieldCount; }
    /// Field `i` (0..9); out of range gives an empty view. Inline: the indicator columns read
    /// several fields of every bar of a series.
    std::string_view Get(std::size_t i) const {
        if (i >= kFieldCount) return {};
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(m_text.data() + begin, m_ends[i] - begin);
    }
    std::string_view operator[](std::size_t i) const { return Get(i); }
    /// Replaces field `i` (0..9); out of range does nothing.
    void Set(std::size_t i, std::string_view text);
    /// Replaces all ten fields at once (cheaper than ten Set calls). The views may point
    /// into this row.
    void Assign(const std::array<std::string_view, kFieldCount>& fields);

    /// The ten texts as separate strings (for export and tests).
    std::vector<std::string> Texts() const;

    friend bool operator==(const CBarRow& a, const CBarRow& b) {
        return a.m_ends == b.m_ends && a.m_text == b.m_text;
    }

  private:
    std::string m_text;
    std::array<std::uint16_t, kFieldCount> m_ends{};  ///< end offset of each field in m_text
};

using BarSeries = std::vector<CBarRow>;

}  // namespace qelt
