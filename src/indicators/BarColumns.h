#pragma once
/// The numbers of a bar series as the indicators compute with them, in columns.
///
/// The indicators loop over a few fields of many bars, several times per paint (seven panes,
/// several lines each), four bars at a time. A BarColumns gathers each field of each bar
/// from its row at most once, on first demand and only for the bars asked for: prices as
/// 32-bit floats (LeadingFloat of the text), volumes and positions as ints (LeadingInt of
/// the text). The fields a computation needs are best asked for together (Read): one pass
/// over the bars gathers them all, where the numbers of a bar lie side by side.
///
/// A BarColumns refers to its series: the series must outlive it and must not change while
/// it is in use, except for bars handed to Forget and bars appended at the end (read on
/// demand). Not thread-safe; the interface thread owns it. A BarColumns ends on the thread
/// that made it, never in a static object (its storage goes to that thread's ColumnPool).
#include <cstdint>
#include <memory>

#include "data/Bar.h"

namespace qelt {

class BarColumns {
  public:
    explicit BarColumns(const BarSeries& bars) : m_bars(&bars) {}
    /// The columns' storage stays on this thread for the next BarColumns (ColumnPool).
    ~BarColumns();
    BarColumns(const BarColumns&) = delete;
    BarColumns& operator=(const BarColumns&) = delete;

    const BarSeries& Bars() const { return *m_bars; }
    int Size() const { return static_cast<int>(m_bars->size()); }

    /// The bit of one field in a set of fields for Read.
    static constexpr unsigned Field(BarField field) { return 1u << field; }
    /// Makes the fields in `fields` (Field(kBarOpen) | Field(kBarClose) ...; open, close,
    /// high, low, average price, volume, net position and total purchase and sale) of bars
    /// [from, to) ready in one pass over those bars. The range is clipped to the series.
    void Read(unsigned fields, int from, int to);

    /// Each accessor makes the values of bars [from, to) ready (the range is clipped to the
    /// series) and returns the column indexed by bar number; only the bars made ready by
    /// this or earlier calls may be read. The pointer stays valid until the series grows or
    /// this object goes.
    const float* Open(int from, int to) { return Floats(kBarOpen, from, to); }
    const float* Close(int from, int to) { return Floats(kBarClose, from, to); }
    const float* High(int from, int to) { return Floats(kBarHigh, from, to); }
    const float* Low(int from, int to) { return Floats(kBarLow, from, to); }
    const float* Avg(int from, int to) { return Floats(kBarAvg, from, to); }
    /// `num` (volume), `pure_num` (net position) and `null_num` as integers.
    const std::int32_t* Num(int from, int to) { return Ints(kBarNum, from, to); }
    const std::int32_t* Pure(int from, int to) { return Ints(kBarPure, from, to); }
    const std::int32_t* Null(int from, int to) { return Ints(kBarNull, from, to); }

    /// The close of one bar (0..n-1), read on its own: a far bar does not make the bars in
    /// between ready.
    float CloseAt(int bar) const;

    /// Drops what was gathered of bars `bar` and later, which changed (a live quote
    /// rewrites the last bar); they are gathered again on demand.
    void Forget(int bar);

  private:
    /// One field's values, floats for a price and integers for a count; bars lo .. hi - 1
    /// are read. Storage is left uninitialised: only read bars are ever looked at.
    struct Column {
        std::unique_ptr<float[]> prices;
        std::unique_ptr<std::int32_t[]> counts;
        int lo = 0;
        int hi = 0;
    };
    static constexpr int kColumnCount = 8;  ///< open .. null_num: fields 1 to 8
    static int Slot(BarField field) { return static_cast<int>(field) - 1; }
    static bool IsPrice(BarField field) { return field <= kBarLow || field == kBarAvg; }

    const float* Floats(BarField field, int from, int to) {
        Read(Field(field), from, to);
        return m_columns[Slot(field)].prices.get();
    }
    const std::int32_t* Ints(BarField field, int from, int to) {
        Read(Field(field), from, to);
        return m_columns[Slot(field)].counts.get();
    }
    /// Storage for `bars` bars in every column asked for, keeping what was read.
    void Reserve(unsigned fields, int bars);
    /// Reads the fields in `fields` of bars [from, to), no questions asked.
    void ReadRows(unsigned fields, int from, int to);

    const BarSeries* m_bars;
    Column m_columns[kColumnCount];
    int m_capacity = 0;  ///< bars each allocated column holds
};

}  // namespace qelt
