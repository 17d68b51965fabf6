#pragma once
/// myline.txt: the drawn lines of every goods, in the program directory. GBK text without
/// line breaks: one record per goods, records joined by "||":
///
///     <list tag>|<goods_no>|<due_date>|<line>;<line>;...
///     <line> = <kind>,<unit>,<bar>,<price>,<bar>,<price>...   (bar "%d", price "%.2f")
///
/// e.g. "1|0101|1203|segment,6,120,251.00,150,265.00".
///
/// `MyLineBook` holds the file's records in their order. A record is kept as the text it was
/// read as until its goods' lines are set, so the records of goods this run does not list
/// (another server, a contract gone) are written back exactly as they came.
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

/// "<kind>,<unit>" and ",<bar>,<price>" per anchor.
std::string FormatMyLine(const CMyLine& line);

/// One line as FormatMyLine writes it: anchors missing from the text stay (0, 0.00); a
/// number that is not one reads as 0. Nothing for a line without a kind.
std::optional<CMyLine> ParseMyLine(std::string_view text);

/// More lines than this in one record are not read into a goods (they stay in the file).
inline constexpr std::size_t kMaxLinesPerGoods = 1000;

class MyLineBook {
  public:
    enum class LoadResult { Read, Missing, Unreadable };

    /// The records of a file's content (UTF-8).
    static MyLineBook Parse(std::string_view content);
    /// The file's content (UTF-8): the records joined by "||".
    std::string Format() const;

    /// Reads "<dir>myline.txt". A file that exists but cannot be read (too large, no
    /// permission) is never written over: Save fails from then on, so a passing fault cannot
    /// cost the user the lines the file holds.
    LoadResult Load(const std::string& programDirectory);
    /// Rewrites "<dir>myline.txt" atomically; false when it could not be written.
    bool Save(const std::string& programDirectory) const;

    /// The lines of every record of `key`, in file order (at most kMaxLinesPerGoods).
    std::vector<CMyLine> LinesOf(const LineKey& key) const;
    /// The distinct goods the book holds records of, in file order.
    std::vector<LineKey> Keys() const;
    /// Every goods with the lines of all its records (as LinesOf), in one pass over the book.
    std::vector<std::pair<LineKey, std::vector<CMyLine>>> AllLines() const;
    /// Makes `lines` the goods' lines: its first record takes them (a new record at the end
    /// when there is none), later records of the goods go; no lines, no record.
    void Set(const LineKey& key, const std::vector<CMyLine>& lines);

  private:
    struct Record {
        std::optional<LineKey> key;  ///< nothing for a record without three fields
        std::string text;            ///< the whole record
    };
    static std::string FormatRecord(const LineKey& key, const std::vector<CMyLine>& lines);
    /// Appends the lines of `record` to `lines`, up to kMaxLinesPerGoods in all.
    static void AppendLines(const Record& record, std::vector<CMyLine>& lines);

    std::vector<Record> m_records;
    bool m_readOnly = false;
};

}  // namespace qelt
