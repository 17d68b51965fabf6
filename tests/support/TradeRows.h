#pragma once
// Trade records of a "real" reply for the intraday and trade list tests: 20 fields, every one
// filled (an empty field would swallow the rest of the record on the wire).
#include <string>

#include "common/Numbers.h"
#include "data/CQeltGoods.h"

namespace qelt::test {

class Trade {
  public:
    /// A section trade of section 0 at price 0, stamped `date` and `time` (HHMMSS), identity `id`.
    Trade(int id, int date, int time) : m_row(20, "0") {
        m_row[7] = FormatInt(id);
        m_row[4] = FormatInt(date);
        std::string t = FormatInt(time);
        m_row[11] = std::string(t.size() < 6 ? 6 - t.size() : 0, '0') + t;
        m_row[10] = "1";
    }
    Trade& Section(int section, double price) {
        m_row[0] = FormatInt(section);
        m_row[1] = FormatFixed2(price);
        return *this;
    }
    Trade& Compare(double price) { return Set(2, FormatFixed2(price)); }
    Trade& Volume(long cumulative) { return Set(3, FormatInt(cumulative)); }
    Trade& BuySell(long buy, long sell) { return Set(5, FormatInt(buy)).Set(6, FormatInt(sell)); }
    Trade& Pure(long pure) { return Set(8, FormatInt(pure)); }
    Trade& Null(long null) { return Set(9, FormatInt(null)); }
    /// A dynamic-board trade (blank section marker).
    Trade& Dynamic() { return Set(10, " "); }
    Trade& Newest(double price) { return Set(12, FormatFixed2(price)); }
    Trade& DynVolume(long cumulative) { return Set(13, FormatInt(cumulative)); }
    Trade& Reference(double price) { return Set(18, FormatFixed2(price)); }
    Trade& Set(std::size_t field, std::string text) {
        m_row[field] = std::move(text);
        return *this;
    }
    operator TradeRow() const { return m_row; }

  private:
    TradeRow m_row;
};

/// A flagged goods' trade: continuous price `newest` and cumulative volume `volume` (fields 3
/// and 13 alike), reference price 100.
inline TradeRow Flagged(int id, int date, int time, double newest, long volume) {
    return Trade(id, date, time)
        .Section(0, newest)
        .Newest(newest)
        .Volume(volume)
        .DynVolume(volume)
        .Reference(100)
        .Dynamic();
}

}  // namespace qelt::test
