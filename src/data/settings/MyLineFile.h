#pragma once
/// myline.txt: the drawn lines of every goods, in the program directory. GBK text without
/// line breaks: one record per goods, records joined by "||":
///
///     <list tag>|<goods_no>|<due_date>|<line>;<line>;...
///     <line> = <kind>,<unit>,<bar>,<price>,<bar>,<price>...   (bar "%d", price "%.2f")
///
/// e.g. "1|0101|1203|segment,6,120,251.00,150,265.00".
///
/// Lines drawn on minute bars are records of their own, the list tag followed by "@" and the
/// period's minutes ("12@5|0131|20260624|..."), each anchor's bar being the minute stamp of
/// its bar (minutes since 1970-01-01 00:00 of its date and time) rather than an index: no
/// goods has such a tag, so they never mix with the lines of the day, week and month bars.
///
/// `MyLineBook` holds the file's records in their order. A record is kept as the text it was
/// read as until its goods' lines are set, so the records of goods this run does not list
/// (another server, a contract gone) are written back exactly as they came. A goods is given
/// its first 1,000 lines; the lines past them stay in the book unread and are written back
/// after the goods' lines at every save, whatever the user draws or deletes meanwhile.
#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "data/CMyLine.h"

namespace qelt {

/// Which goods a record belongs to: its list tag ("12", "0", "1", "2", "3"), goods_no and
/// due_date.
struct LineKey {
    std::string tag;
    GoodsKey goods;
    friend auto operator<=>(const LineKey&, const LineKey&) = default;
};

/// "@5": what the list tag of the lines of the 5-minute bars carries after the goods' tag.
inline std::string MinuteLineTag(int minutes) { return "@" + std::to_string(minutes); }
/// The key of the lines of goods `day` on its `minutes`-minute bars.
inline LineKey MinuteLineKey(LineKey day, int minutes) {
    day.tag += MinuteLineTag(minutes);
    return day;
}

/// "<kind>,<unit>" and ",<bar>,<price>" per anchor.
std::string FormatMyLine(const CMyLine& line);

/// One line as FormatMyLine writes it: anchors missing from the text stay (0, 0.00); a
/// number that is not one reads as 0. Nothing for a line without a kind.
std::optional<CMyLine> ParseMyLine(std::string_view text);

/// Lines of one goods read from the file at most; the rest stay in the file unread.
inline constexpr std::size_t kMaxLinesPerGoods = 1000;
/// Far above any real drawing (a few hundred bytes a goods); a larger file is not ours.
inline constexpr std::size_t kMaxMyLineFileBytes = 4u << 20;

class MyLineBook {
  public:
    /// How reading myline.txt went (see SettingsFile).
    enum class LoadResult { Read, Missing, Unreadable };

    /// The records of a file's content (UTF-8).
    static MyLineBook Parse(std::string_view content);
    /// The file's content (UTF-8): the records joined by "||".
    std::string Format() const;

    /// The lines of every record of `key`, in file order (at most kMaxLinesPerGoods from the
    /// file; all the lines set since).
    std::vector<CMyLine> LinesOf(const LineKey& key) const;
    /// The distinct goods the book holds records of, in file order.
    std::vector<LineKey> Keys() const;
    /// Every goods with the lines of all its records (as LinesOf), in one pass over the book.
    std::vector<std::pair<LineKey, std::vector<CMyLine>>> AllLines() const;
    /// Makes `lines` the goods' lines: its first record takes them, followed by the goods'
    /// unread lines (a new record at the end when there is none), later records of the goods
    /// go; no lines and none unread, no record.
    void Set(const LineKey& key, const std::vector<CMyLine>& lines);

  private:
    struct Record {
        std::optional<LineKey> key;  ///< nothing for a record without three fields
        std::string text;            ///< the record up to the last line its goods is given
        std::string unread;          ///< the rest, as read (with its leading ";" if any)
    };
    static std::string FormatRecord(const LineKey& key, const std::vector<CMyLine>& lines);
    /// Cuts `record` after the goods' kMaxLinesPerGoods-th line, `given` counting the lines
    /// of the goods' earlier records.
    static void CutUnread(Record& record, std::size_t& given);
    /// Appends the lines of `record` to `lines`.
    static void AppendLines(const Record& record, std::vector<CMyLine>& lines);

    std::vector<Record> m_records;
};

}  // namespace qelt
