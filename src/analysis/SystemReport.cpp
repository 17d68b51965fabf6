#include "analysis/SystemReport.h"

#include <algorithm>

namespace qelt {
namespace {

std::optional<double> Ratio(double numerator, double divisor) {
    if (divisor == 0.0) return std::nullopt;
    return numerator / divisor;
}

std::optional<double> Percent(double numerator, double divisor) {
    if (divisor == 0.0) return std::nullopt;
    return numerator / divisor * 100.0;
}

/// The largest fall of the equity from its highest earlier close, the capital counting as
/// the first high, and that fall as a percentage of the high it fell from (the first such
/// high when several falls are as large). Reckoned on the gains, so that a fall is not
/// rounded at the capital's magnitude.
void Drawdown(double capital, const std::vector<double>& gains, SystemReport& report) {
    double high = 0.0, fall = 0.0, fallHigh = 0.0;
    for (double gain : gains) {
        high = std::max(high, gain);
        if (high - gain > fall) fall = high - gain, fallHigh = high;
    }
    report.maxDrawdown = fall;
    report.maxDrawdownPct = Percent(fall, capital + fallHigh);
}

}  // namespace

std::string_view OpenPositionName(OpenPosition position) {
    switch (position) {
        case OpenPosition::Long:
            return "long";
        case OpenPosition::Short:
            return "short";
        default:
            return "none";
    }
}

SystemReport MakeSystemReport(double capital, const std::vector<double>& closedProfits,
                              const std::vector<double>& gains, int barsInPosition,
                              OpenPosition openPosition) {
    SystemReport report;
    report.trades = static_cast<int>(closedProfits.size());
    double sum = 0.0;
    for (double profit : closedProfits) {
        sum += profit;
        if (profit > 0.0) ++report.wins, report.grossProfit += profit;
        if (profit < 0.0) report.grossLoss += profit;
    }
    report.winRate = Percent(report.wins, report.trades);
    report.profitFactor = Ratio(report.grossProfit, -report.grossLoss);
    report.averageTrade = Ratio(sum, report.trades);
    if (!closedProfits.empty()) {
        const auto [smallest, largest] = std::minmax_element(closedProfits.begin(), closedProfits.end());
        report.largestWin = *largest;
        report.largestLoss = *smallest;
    }
    report.netProfit = gains.empty() ? 0.0 : gains.back();
    Drawdown(capital, gains, report);
    report.returnPct = Percent(report.netProfit, capital);
    report.exposurePct = Percent(barsInPosition, static_cast<double>(gains.size()));
    report.openPosition = openPosition;
    return report;
}

std::vector<SystemReportLine> SystemReportLines(const SystemReport& report) {
    return {
        {"trades", report.trades, {}},
        {"wins", report.wins, {}},
        {"win_rate", report.winRate, {}},
        {"net_profit", report.netProfit, {}},
        {"gross_profit", report.grossProfit, {}},
        {"gross_loss", report.grossLoss, {}},
        {"profit_factor", report.profitFactor, {}},
        {"average_trade", report.averageTrade, {}},
        {"largest_win", report.largestWin, {}},
        {"largest_loss", report.largestLoss, {}},
        {"max_drawdown", report.maxDrawdown, {}},
        {"max_drawdown_pct", report.maxDrawdownPct, {}},
        {"return_pct", report.returnPct, {}},
        {"exposure_pct", report.exposurePct, {}},
        {"open_position", std::nullopt, OpenPositionName(report.openPosition)},
    };
}

}  // namespace qelt
