#include "analysis/TradingSystem.h"

#include <algorithm>

#include "analysis/Condition.h"
#include "analysis/PeriodBars.h"
#include "formula/FormulaText.h"

namespace qelt {
namespace {

constexpr std::array<std::string_view, kSystemSignals> kSignalNames = {"ENTERLONG", "EXITLONG", "ENTERSHORT",
                                                                       "EXITSHORT"};

bool SignalAt(const SystemSignals& signals, SystemSignal signal, int bar) {
    const std::span<const double> column = signals[static_cast<std::size_t>(signal)];
    return static_cast<std::size_t>(bar) < column.size() &&
           IsConditionTrue(column[static_cast<std::size_t>(bar)]);
}

/// The position rules bar by bar, with the money of the position in hand.
class Simulation {
  public:
    Simulation(const SystemPrices& prices, const SystemCosts& costs, SystemResult& result)
        : m_prices(prices), m_costs(costs), m_units(costs.lots * costs.multiplier), m_result(result) {}

    /// Bar `bar`'s open acts on the signals of the bar before.
    void ActAtOpen(const SystemSignals& signals, int bar) {
        const int signalBar = bar - 1;
        auto at = [&](SystemSignal signal) { return SignalAt(signals, signal, signalBar); };
        const bool enterLong = at(SystemSignal::EnterLong), enterShort = at(SystemSignal::EnterShort);
        const bool exitLong = at(SystemSignal::ExitLong), exitShort = at(SystemSignal::ExitShort);
        if (m_open && m_open->side == TradeSide::Long && (exitLong || enterShort)) Close(bar);
        if (m_open && m_open->side == TradeSide::Short && (exitShort || enterLong)) Close(bar);
        if (m_open) return;
        if (enterLong && !enterShort && !exitLong) Open(TradeSide::Long, bar);
        if (enterShort && !enterLong && !exitShort) Open(TradeSide::Short, bar);
    }

    /// The equity less the capital at bar `bar`'s close.
    double GainAtClose(int bar) const {
        return m_closedProfit +
               (m_open ? Marked(*m_open, m_prices.close[static_cast<std::size_t>(bar)]) : 0.0);
    }
    bool InPosition() const { return m_open.has_value(); }

    /// After the last bar: the open position, marked to the last close, ends the list.
    OpenPosition Finish(int lastBar) {
        if (!m_open) return OpenPosition::None;
        m_open->profit = Marked(*m_open, m_prices.close[static_cast<std::size_t>(lastBar)]);
        m_result.trades.push_back(*m_open);
        return m_open->side == TradeSide::Long ? OpenPosition::Long : OpenPosition::Short;
    }

    const std::vector<double>& ClosedProfits() const { return m_closedProfits; }

  private:
    double Commission(double fillPrice) const { return m_costs.commissionRate * fillPrice * m_units; }
    double Fill(int bar, bool buy) const {
        const double open = m_prices.open[static_cast<std::size_t>(bar)];
        return buy ? open + m_costs.slippage : open - m_costs.slippage;
    }
    double Move(const SystemTrade& trade, double price) const {
        return (trade.side == TradeSide::Long ? price - trade.entryPrice : trade.entryPrice - price) *
               m_units;
    }
    /// The open trade's profit at `price`, less its entry commission.
    double Marked(const SystemTrade& trade, double price) const {
        return Move(trade, price) - Commission(trade.entryPrice);
    }

    void Open(TradeSide side, int bar) {
        SystemTrade trade;
        trade.side = side;
        trade.entryBar = bar;
        trade.entryDate = m_prices.date[static_cast<std::size_t>(bar)];
        trade.entryPrice = Fill(bar, side == TradeSide::Long);
        m_open = trade;
    }

    void Close(int bar) {
        SystemTrade& trade = *m_open;
        trade.exitBar = bar;
        trade.exitDate = m_prices.date[static_cast<std::size_t>(bar)];
        trade.exitPrice = Fill(bar, trade.side == TradeSide::Short);
        trade.profit = Marked(trade, trade.exitPrice) - Commission(trade.exitPrice);
        m_closedProfit += trade.profit;
        m_closedProfits.push_back(trade.profit);
        m_result.trades.push_back(trade);
        m_open.reset();
    }

    const SystemPrices& m_prices;
    const SystemCosts& m_costs;
    const double m_units;
    SystemResult& m_result;
    std::optional<SystemTrade> m_open;
    double m_closedProfit = 0.0;
    std::vector<double> m_closedProfits;
};

}  // namespace

std::string_view SystemSignalName(SystemSignal signal) {
    return kSignalNames[static_cast<std::size_t>(signal)];
}

bool IsSystemSignalName(std::string_view outputName) {
    return std::any_of(kSignalNames.begin(), kSignalNames.end(),
                       [&](std::string_view name) { return formula::SameName(outputName, name); });
}

SystemPrices ReadSystemPrices(const BarSeries& bars) {
    SystemPrices prices;
    prices.open.reserve(bars.size());
    prices.close.reserve(bars.size());
    prices.date.reserve(bars.size());
    for (const CBarRow& bar : bars) {
        prices.open.push_back(BarOpen(bar));
        prices.close.push_back(BarClose(bar));
        prices.date.push_back(BarDateNumber(bar));
    }
    return prices;
}

void SimulateSystem(const SystemSignals& signals, const SystemPrices& prices, const SystemCosts& costs,
                    SystemResult& result) {
    const int n = static_cast<int>(std::min({prices.open.size(), prices.close.size(), prices.date.size()}));
    result.trades.clear();
    // The gains first: the report reckons on them, the equity is the capital plus them.
    std::vector<double>& gains = result.equity;
    gains.resize(static_cast<std::size_t>(n));
    Simulation simulation(prices, costs, result);
    int barsInPosition = 0;
    for (int bar = 0; bar < n; ++bar) {
        if (bar > 0) simulation.ActAtOpen(signals, bar);
        gains[static_cast<std::size_t>(bar)] = simulation.GainAtClose(bar);
        barsInPosition += simulation.InPosition();
    }
    const OpenPosition open = n > 0 ? simulation.Finish(n - 1) : OpenPosition::None;
    result.report = MakeSystemReport(costs.capital, simulation.ClosedProfits(), gains, barsInPosition, open);
    result.drawdown.resize(static_cast<std::size_t>(n));
    double high = 0.0;
    for (std::size_t i = 0; i < gains.size(); ++i) {
        high = std::max(high, gains[i]);
        result.drawdown[i] = high - gains[i];
        gains[i] += costs.capital;
    }
}

std::optional<TradingSystem> TradingSystem::Of(const CompiledFormula& formula) {
    TradingSystem system(formula);
    bool any = false;
    const std::vector<FormulaOutput>& outputs = formula.Outputs();
    for (int k = 0; k < static_cast<int>(outputs.size()); ++k) {
        for (int s = 0; s < kSystemSignals; ++s) {
            if (!formula::SameName(outputs[static_cast<std::size_t>(k)].name,
                                   kSignalNames[static_cast<std::size_t>(s)]))
                continue;
            system.m_outputs[static_cast<std::size_t>(s)] = k;
            any = true;
        }
    }
    if (!any) return std::nullopt;
    return system;
}

bool SystemTester::Test(const TradingSystem& system, const BarSeries& bars, const SystemPrices& prices,
                        const std::vector<double>& values, const SystemCosts& costs, SystemResult& result,
                        bool sameBars) {
    const bool computed =
        m_run.Run(system.Formula(), bars, values, sameBars ? static_cast<int>(bars.size()) : 0);
    SystemSignals signals;
    for (int s = 0; computed && s < kSystemSignals; ++s) {
        const int output = system.SignalOutput(static_cast<SystemSignal>(s));
        if (output >= 0) signals[static_cast<std::size_t>(s)] = m_run.Column(output);
    }
    SimulateSystem(signals, prices, costs, result);
    return computed;
}

SystemTest TestSystem(const TradingSystem& system, const BarSeries& bars, const std::vector<double>& values,
                      const SystemCosts& costs) {
    SystemTest test;
    SystemTester tester;
    if (!tester.Test(system, bars, ReadSystemPrices(bars), values, costs, test.result))
        test.fault = tester.Fault();
    return test;
}

}  // namespace qelt
