#pragma once
/// `CBarRow`: one bar of a series, the ten texts date, open_price, close_price,
/// highest_price, lowest_price, num, avg_price, pure_num, null_num and due_date, and the
/// numbers the computations read from them.
///
/// The texts are the truth: files, the database, exports and the wire take them byte for
/// byte. Beside them a row holds the numbers of the fields that indicators, formulas, charts
/// and scales compute with, read once when a text is set, by the "leading number, 0 when
/// none" rule: the prices as LeadingDouble reads them (their LeadingFloat is that double
/// rounded to float), the volume, the positions and the date as LeadingInt64 reads them
/// (their LeadingInt is that value clamped to the int range). So every computation reads the
/// very values it read from the texts, without reading a text again.
///
/// A store holds about a thousand contracts with a few thousand bars each, and a view copies
/// a contract's tens of thousands of bars when it opens, so a bar is kept compact and in one
/// piece: the nine numbers, the end offsets of the ten texts and the texts back to back in
/// the row itself (192 bytes, three cache lines, the numbers in the first); only a row whose
/// texts exceed kInlineText bytes keeps them in an allocation of its own. Reading a field
/// gives a view that stays valid until the row is changed or destroyed.
///
/// A minute bar also has a time, the HHMM of its first minute as a number (0935); day, week
/// and month bars have time 0. It is no text of the row (the day bars' files, tables and
/// wire forms have ten fields): it sits in the two bytes between the offsets and the texts
/// that the texts' alignment leaves free, so a row is no larger for it. Copies and moves
/// carry it, a row moved from has time 0, and changing the texts (Set, Assign) keeps it.
#include <algorithm>
#include <array>
#include <climits>
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

/// A whole number of a bar clamped to the int range: LeadingInt of the text, as the
/// indicators read volumes and positions.
inline std::int32_t ClampedInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

class alignas(64) CBarRow {
  public:
    static constexpr std::size_t kFieldCount = 10;
    /// A row never grows beyond this many bytes of text; longer input is cut.
    static constexpr std::size_t kMaxText = 4096;
    /// Texts up to this many bytes in all live in the row itself.
    static constexpr std::size_t kInlineText = 96;

    CBarRow() = default;
    /// The first ten of `fields`; missing ones are empty, extra ones are dropped.
    explicit CBarRow(const std::vector<std::string_view>& fields);
    CBarRow(std::initializer_list<std::string_view> fields);
    CBarRow(const CBarRow& other);
    CBarRow(CBarRow&& other) noexcept;
    CBarRow& operator=(const CBarRow& other);
    CBarRow& operator=(CBarRow&& other) noexcept;
    ~CBarRow() { Release(); }

    std::size_t size() const { return kFieldCount; }
    /// Field `i` (0..9); out of range gives an empty view. Inline: exports and painters read
    /// several fields of many bars.
    std::string_view Get(std::size_t i) const {
        if (i >= kFieldCount) return {};
        const std::size_t begin = i == 0 ? 0 : m_ends[i - 1];
        return std::string_view(Data() + begin, m_ends[i] - begin);
    }
    std::string_view operator[](std::size_t i) const { return Get(i); }
    /// Replaces field `i` (0..9); out of range does nothing. Only that field is read again.
    void Set(std::size_t i, std::string_view text);
    /// Replaces all ten fields at once (cheaper than ten Set calls). The views may point
    /// into this row. Only the fields whose text changed are read again.
    void Assign(const std::array<std::string_view, kFieldCount>& fields);

    /// The ten texts as separate strings (for export and tests).
    std::vector<std::string> Texts() const;

    // ---- the numbers ----
    double Open() const { return m_prices[0]; }
    double Close() const { return m_prices[1]; }
    double High() const { return m_prices[2]; }
    double Low() const { return m_prices[3]; }
    double Avg() const { return m_prices[4]; }
    std::int64_t Num() const { return m_wholes[0]; }
    std::int64_t Pure() const { return m_wholes[1]; }
    std::int64_t Null() const { return m_wholes[2]; }
    /// The date as a number (20060601).
    std::int64_t Date() const { return m_wholes[3]; }
    /// HHMM of a minute bar's first minute (935 for 09:35); 0 on day, week and month bars.
    int Time() const { return m_time; }
    /// Sets the minute bar's time; values outside 0..2359 are kept to that range.
    void SetTime(int hhmm) { m_time = static_cast<std::uint16_t>(std::clamp(hhmm, 0, 2359)); }
    /// Open, close, high, low or average price by field; 0 for the other fields.
    double Price(BarField field) const;
    /// Volume, net position, total purchase and sale or date by field; 0 for due_date.
    std::int64_t Whole(BarField field) const;
    /// Whether a field has a number (a price or a whole number): all but due_date.
    static bool HasNumber(BarField field) { return field < kBarDue; }

    /// The numbers follow from the texts: equal texts (and times) are equal rows.
    friend bool operator==(const CBarRow& a, const CBarRow& b) {
        return a.m_time == b.m_time && a.m_ends == b.m_ends && a.Text() == b.Text();
    }

  private:
    const char* Data() const { return m_capacity > 0 ? m_heap : m_inline; }
    std::size_t Size() const { return m_ends[kFieldCount - 1]; }
    std::string_view Text() const { return std::string_view(Data(), Size()); }
    /// Reads the numbers of the fields whose texts in `text` (with `ends`) differ from this
    /// row's; `text` has readable bytes beyond its end.
    void ReadChangedNumbers(const char* text, const std::array<std::uint16_t, kFieldCount>& ends);
    /// `size` bytes of text from `text` into the row: inline when they fit, otherwise in the
    /// row's allocation, kept when it is large enough.
    void StoreText(const char* text, std::size_t size);
    void Release();
    /// The numbers, the offsets and the texts of `other` (this row holds no allocation).
    void TakeCopy(const CBarRow& other);
    /// `other`'s allocation or inline texts, with its numbers; `other` is left empty.
    void TakeOver(CBarRow& other);

    // The numbers first, in the row's first cache line: the indicators gather a few of them
    // from every row of a series.
    double m_prices[5] = {};                          ///< open, close, high, low, avg_price
    std::int64_t m_wholes[4] = {};                    ///< num, pure_num, null_num, date
    std::array<std::uint16_t, kFieldCount> m_ends{};  ///< end offset of each field in the text
    std::uint16_t m_capacity = 0;                     ///< bytes of m_heap; 0: the texts are inline
    std::uint16_t m_time = 0;                         ///< HHMM of a minute bar, 0 otherwise
    union {
        char m_inline[kInlineText];
        char* m_heap;
    };
};

static_assert(sizeof(CBarRow) == 192, "a stored day bar, texts included");

using BarSeries = std::vector<CBarRow>;

}  // namespace qelt
