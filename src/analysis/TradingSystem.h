#pragma once
/// Trading systems (交易评测): a formula that defines at least one of the outputs
/// ENTERLONG, EXITLONG, ENTERSHORT and EXITSHORT (names without case), each a signal true at
/// a bar as a condition is; a signal it does not define is false at every bar.
///
/// A signal is read at the close of bar i and acted on at the open of bar i+1 (one on the
/// last bar is not acted on). For bar i from the first to the one before the last, with the
/// position held at its close:
///   1. long, and EXITLONG or ENTERSHORT at i: the long is closed at i+1;
///   2. short, and EXITSHORT or ENTERLONG at i: the short is closed at i+1;
///   3. then, with no position: a long is opened at i+1 when ENTERLONG is true at i and
///      neither ENTERSHORT nor EXITLONG is; a short when ENTERSHORT is true and neither
///      ENTERLONG nor EXITSHORT is. So a reversal closes and opens at the same open.
/// A buy fills at open + slippage, a sell at open − slippage, each fill paying rate × fill
/// price × lots × multiplier. A position still open after the last bar is marked to the last
/// close, less its entry commission; it is not a closed trade.
///
///     std::optional<TradingSystem> system = TradingSystem::Of(*compiled.formula);
///     SystemTest test = TestSystem(*system, bars, values, costs);   // the same inputs, the same report
#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/SystemReport.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt {

enum class SystemSignal : unsigned char { EnterLong, ExitLong, EnterShort, ExitShort };
inline constexpr int kSystemSignals = 4;

/// "ENTERLONG", "EXITLONG", "ENTERSHORT", "EXITSHORT".
std::string_view SystemSignalName(SystemSignal signal);
/// True for an output named as a signal (without case): such outputs are never drawn as lines.
bool IsSystemSignalName(std::string_view outputName);

/// What a test costs and starts with.
struct SystemCosts {
    double capital = 100000.0;
    double lots = 1.0;
    double multiplier = 1.0;      ///< units per lot
    double commissionRate = 0.0;  ///< of each fill's value
    double slippage = 0.0;        ///< added to a buy's fill price, taken from a sell's
};

enum class TradeSide : unsigned char { Long, Short };

struct SystemTrade {
    TradeSide side = TradeSide::Long;
    int entryBar = 0;  ///< the bar whose open filled the entry
    int entryDate = 0;
    double entryPrice = 0.0;  ///< the fill price, slippage included
    int exitBar = -1;         ///< -1: still open after the last bar
    int exitDate = 0;
    double exitPrice = 0.0;
    /// Closed: (exit − entry) × units for a long, (entry − exit) × units for a short, less
    /// both fills' commissions. Open: the same marked to the last close, less the entry's.
    double profit = 0.0;

    bool IsOpen() const { return exitBar < 0; }
    friend bool operator==(const SystemTrade&, const SystemTrade&) = default;
};

struct SystemResult {
    /// The trades in entry order; a position open after the last bar is the last one.
    std::vector<SystemTrade> trades;
    std::vector<double> equity;  ///< at each bar's close
    std::vector<double>
        drawdown;  ///< at each bar's close: its fall from the highest earlier equity (capital first), >= 0
    SystemReport report;

    friend bool operator==(const SystemResult&, const SystemResult&) = default;
};

/// The numbers a test reads from the bars, read once for any number of tests of a series.
struct SystemPrices {
    std::vector<double> open, close;
    std::vector<int> date;  ///< YYYYMMDD
};
SystemPrices ReadSystemPrices(const BarSeries& bars);

/// The signals at each bar (NaN or 0: false); an empty span is a signal the system does not
/// define. Indexed as SystemSignal.
using SystemSignals = std::array<std::span<const double>, kSystemSignals>;

/// Runs the position rules over `prices` with `columns`, into `result` (its vectors reused).
/// (Not named "signals": the interface's toolkit keeps that word for itself.)
void SimulateSystem(const SystemSignals& columns, const SystemPrices& prices, const SystemCosts& costs,
                    SystemResult& result);

class TradingSystem {
  public:
    /// The system `formula` defines: nothing when it has none of the four signal outputs.
    static std::optional<TradingSystem> Of(const CompiledFormula& formula);

    const CompiledFormula& Formula() const { return m_formula; }
    /// The output holding `signal`, or -1.
    int SignalOutput(SystemSignal signal) const { return m_outputs[static_cast<std::size_t>(signal)]; }

  private:
    explicit TradingSystem(const CompiledFormula& formula) : m_formula(formula) {}
    CompiledFormula m_formula;
    std::array<int, kSystemSignals> m_outputs{-1, -1, -1, -1};
};

/// Tests a system again and again keeping its working memory: one per thread.
class SystemTester {
  public:
    /// Computes the system over `bars` with the parameter `values` and runs the position
    /// rules; `prices` must be ReadSystemPrices(bars). `sameBars`: the caller's promise that
    /// `bars` are those of this tester's previous test, so they are not read again. False
    /// when the values put a constant argument out of range: Fault() says where, and the
    /// result is that of a system that never trades.
    bool Test(const TradingSystem& system, const BarSeries& bars, const SystemPrices& prices,
              const std::vector<double>& values, const SystemCosts& costs, SystemResult& result,
              bool sameBars = false);
    const std::optional<FormulaError>& Fault() const { return m_run.Error(); }

  private:
    FormulaRun m_run;
};

struct SystemTest {
    std::optional<FormulaError> fault;  ///< the values put a constant argument out of range
    SystemResult result;
};

/// One test in one call.
SystemTest TestSystem(const TradingSystem& system, const BarSeries& bars, const std::vector<double>& values,
                      const SystemCosts& costs);

}  // namespace qelt
