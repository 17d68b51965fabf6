#pragma once
/// The past days of a minute chart: which days the chart lacks, the past-day trade request
/// for each ("real:CATEGORY-DATE:goods_no:due_date:8:"), one at a time and newest first, each
/// sent as every single command is (paced behind the others), the reply made into the day's
/// bars of every minute period and kept in the history database, then the next day. A day
/// kept is never asked for again, in this run or the next; offline nothing is asked and the
/// kept days are all there is.
///
/// A reply belongs to the request when it carries the contract's key and the request's
/// selector ("CATEGORY-DATE"), or, from a server that echoes another selector, when it holds
/// trades of that day only. Anything else is someone else's (the user's own past-day request):
/// the flow leaves it alone. A day whose reply does not come while kPatience other replies
/// arrive is given up; the chart asks for it again the next time it is opened.
///
/// The status bar shows the progress ("下载分钟线 3/60 天") and the end. Interface thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "data/CQeltData.h"
#include "data/MinuteArchive.h"
#include "views/PastMinuteDays.h"

namespace qelt {

/// A chart shows at most this many past days of minute bars.
inline constexpr std::size_t kMaxMinuteDays = kMinuteChartDays;

/// What the flow works with: the connection's single commands, whether it is online, the
/// status bar, and the store's last past-day reply.
struct MinuteHistoryLinks {
    std::function<void(const std::string&)> send;
    std::function<bool()> online;
    std::function<void(const std::string&)> status;
    std::function<DetailList()> lastDetailList;
};

class MinuteHistoryFlow : public PastMinuteDays {
  public:
    /// Replies that may pass before an awaited day is given up.
    static constexpr int kPatience = 10;

    /// `archive` may be null: then nothing is kept and nothing is asked.
    MinuteHistoryFlow(MinuteArchive* archive, MinuteHistoryLinks links)
        : m_archive(archive), m_links(std::move(links)) {}

    /// Where the days are kept (the application wires the history database in once).
    void SetArchive(MinuteArchive* archive) { m_archive = archive; }

    BarSeries KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const override;
    /// At most kMaxMinuteDays of `dates` are taken (the first ones: the newest).
    void Want(const GoodsKey& contract, const std::string& categoryCode,
              const std::vector<std::int64_t>& dates) override;
    bool TakeReply() override;
    void Passing() override;
    void Stop() override;
    std::uint64_t Revision() const override { return m_revision; }
    bool HasKeptDays(const GoodsKey& contract) const override {
        return m_archive && !m_archive->KeptDays(contract).empty();
    }

    /// The day awaited, if any (tests).
    std::optional<std::int64_t> Awaited() const;

  private:
    struct Request {
        GoodsKey contract;
        std::int64_t date = 0;
        std::string selector;  ///< "CATEGORY-DATE"
    };
    bool Answers(const Request& request, const DetailList& reply) const;
    void Keep(const Request& request, const std::vector<TradeRow>& rows);
    void SendNext();
    void SayProgress() const;

    MinuteArchive* m_archive;
    MinuteHistoryLinks m_links;

    GoodsKey m_contract;
    std::string m_category;
    std::vector<std::int64_t> m_wanted;  ///< what the chart asked for last
    std::vector<std::int64_t> m_queue;   ///< days still to ask, newest first
    std::optional<Request> m_awaited;
    int m_quiet = 0;  ///< replies passed while m_awaited waits
    std::size_t m_total = 0, m_kept = 0, m_missed = 0;
    std::uint64_t m_revision = 0;
};

}  // namespace qelt
