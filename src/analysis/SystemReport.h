#pragma once
/// A trading system's report: the figures of its closed trades and of its equity per bar.
/// Each figure whose divisor is 0 (a win rate without trades, a profit factor without a
/// losing trade, a return on no capital) has no value; so have the largest and smallest
/// trade when there is none.
#include <optional>
#include <string_view>
#include <vector>

namespace qelt {

/// The position held after the last bar.
enum class OpenPosition : unsigned char { None, Long, Short };

/// "none", "long" or "short".
std::string_view OpenPositionName(OpenPosition position);

struct SystemReport {
    int trades = 0;                      ///< closed trades
    int wins = 0;                        ///< closed trades with a profit above 0
    std::optional<double> winRate;       ///< wins / trades × 100
    double netProfit = 0.0;              ///< final equity − capital, the open position included
    double grossProfit = 0.0;            ///< the sum of the closed trades' profits above 0
    double grossLoss = 0.0;              ///< the sum of those below 0 (0 or less)
    std::optional<double> profitFactor;  ///< gross profit / −gross loss
    std::optional<double> averageTrade;  ///< the closed trades' profits / trades
    std::optional<double> largestWin;    ///< the largest closed trade's profit
    std::optional<double> largestLoss;   ///< the smallest closed trade's profit
    /// The largest fall of the equity from its highest earlier close, the capital counting as
    /// the first high (0 when it never fell).
    double maxDrawdown = 0.0;
    /// That fall as a percentage of the high it fell from.
    std::optional<double> maxDrawdownPct;
    std::optional<double> returnPct;    ///< net profit / capital × 100
    std::optional<double> exposurePct;  ///< bars whose close found a position open / bars × 100
    OpenPosition openPosition = OpenPosition::None;

    friend bool operator==(const SystemReport&, const SystemReport&) = default;
};

/// The report of a test: `closedProfits` each closed trade's profit in entry order, `gains`
/// the equity less the capital at each bar's close (the closed trades' profits and the open
/// position's, less its entry commission), `barsInPosition` the bars whose close found a
/// position open.
SystemReport MakeSystemReport(double capital, const std::vector<double>& closedProfits,
                              const std::vector<double>& gains, int barsInPosition,
                              OpenPosition openPosition);

/// One line of the report: its key, and its number (nothing: no value) or, for
/// open_position, its text.
struct SystemReportLine {
    std::string_view key;
    std::optional<double> value;
    std::string_view text;
};

/// The report's lines in their order: trades, wins, win_rate, net_profit, gross_profit,
/// gross_loss, profit_factor, average_trade, largest_win, largest_loss, max_drawdown,
/// max_drawdown_pct, return_pct, exposure_pct, open_position.
std::vector<SystemReportLine> SystemReportLines(const SystemReport& report);

}  // namespace qelt
