#pragma once
/// What the K-line view asks of the past days' minute bars: the days kept in the history
/// database, and the asking of the server for the days the chart lacks (one past-day trade
/// request at a time, paced as every single command, newest day first, each day kept once it
/// is made). The application's MinuteHistoryFlow does it; without an application nothing is
/// kept and nothing is asked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/GoodsKey.h"
#include "data/Bar.h"

namespace qelt {

/// A minute chart shows at most this many past days.
inline constexpr std::size_t kMinuteChartDays = 60;

class PastMinuteDays {
  public:
    virtual ~PastMinuteDays() = default;
    /// The kept bars of `contract` in the period `minutes` of the days from `fromDate` on,
    /// oldest first.
    virtual BarSeries KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const = 0;
    /// The chart of `contract` (shown under the category `categoryCode`) wants the past days
    /// `dates`, newest first: those not kept are asked for, newest first. Asking again for the
    /// same contract and days changes nothing.
    virtual void Want(const GoodsKey& contract, const std::string& categoryCode,
                      const std::vector<std::int64_t>& dates) = 0;
    /// A past-day reply has been stored (WM_NET_HISREAL): true when it answered a request of
    /// the minute history (its day is kept now), false when it is someone else's.
    virtual bool TakeReply() = 0;
    /// Another reply arrived while a day is awaited; a day that stays unanswered for long is
    /// given up (and asked again when a chart wants it next time).
    virtual void Passing() = 0;
    /// Nothing more is asked (the day awaited is still taken when its reply comes).
    virtual void Stop() = 0;
    /// Grows with every day kept: a chart showing minute bars reads them again.
    virtual std::uint64_t Revision() const = 0;
    /// Whether any past day of `contract` is kept.
    virtual bool HasKeptDays(const GoodsKey& contract) const = 0;
};

/// Keeps nothing and asks nothing.
class NoPastMinuteDays : public PastMinuteDays {
  public:
    BarSeries KeptBars(const GoodsKey&, int, std::int64_t) const override { return {}; }
    void Want(const GoodsKey&, const std::string&, const std::vector<std::int64_t>&) override {}
    bool TakeReply() override { return false; }
    void Passing() override {}
    void Stop() override {}
    std::uint64_t Revision() const override { return 0; }
    bool HasKeptDays(const GoodsKey&) const override { return false; }
};

}  // namespace qelt
