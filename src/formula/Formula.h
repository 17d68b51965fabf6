#pragma once
/// The user's own indicators: a formula text compiled once, then computed over a bar series
/// as often as the chart needs.
///
///     FormulaCompileResult compiled = CompileFormula(text, parameters);
///     if (!compiled.formula) show(compiled.error);          // "3:12: 未知的函数 MAA"
///     FormulaRun run;                                       // keep one per pane
///     run.Run(*compiled.formula, bars, values);             // after each change of the bars
///     run.Column(k)[bar], run.TitleItem(k, cursor), ...
///     run.Marks(): what the drawing statements draw (FormulaDrawing.h)
///
/// A value is a double; "no value" is NaN (HasFormulaValue). Every column is as long as the
/// series, indexed by bar. The computation reads the bars it is given and nothing else.
#include <atomic>
#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/Bar.h"
#include "formula/FormulaDrawing.h"
#include "formula/FormulaError.h"
#include "formula/FormulaOutput.h"
#include "formula/FormulaParameters.h"

namespace qelt {

namespace formula {
struct Program;
}

/// A formula's text may hold at most this many bytes.
inline constexpr std::size_t kMaxFormulaBytes = 64 * 1024;

/// False for "no value".
inline bool HasFormulaValue(double value) { return !std::isnan(value); }

/// A compiled formula: immutable and cheap to copy (copies share the compiled code).
class CompiledFormula {
  public:
    /// The output lines in statement order (1 to 16).
    const std::vector<FormulaOutput>& Outputs() const;
    /// The parameters it was compiled with, in their order.
    const std::vector<FormulaParameter>& Parameters() const;
    /// The drawing statements in statement order (0 to 500).
    const std::vector<FormulaDrawing>& Drawings() const;

    /// The compiled code (FormulaCompiled.h, private to the formula layer).
    struct Compiled;
    explicit CompiledFormula(std::shared_ptr<const Compiled> compiled) : m_compiled(std::move(compiled)) {}

  private:
    friend class FormulaRun;
    std::shared_ptr<const Compiled> m_compiled;
};

struct FormulaCompileResult {
    std::optional<CompiledFormula> formula;  ///< set when the text and parameters are sound
    FormulaError error;                      ///< otherwise the first fault
};

/// Compiles `text` (UTF-8, at most kMaxFormulaBytes) with `parameters`. Every fault of the
/// text comes back with its line:column; a fault of the parameters with the parameter's
/// index. Constant arguments (N, M, A) are checked at the parameters' defaults. Compiling
/// any text, however hostile, takes well under 10 ms and never recurses deeper than the
/// nesting limit (200 levels of brackets, calls and unary operators).
FormulaCompileResult CompileFormula(std::string_view text,
                                    const std::vector<FormulaParameter>& parameters = {});

/// A computation holds at most this many marks of drawing statements (about 100 MB, twice
/// that while it puts them in bar order): past
/// it, it stops with an error however the drawings are written (500 drawings true at every
/// one of 1,000,000 bars would make 500,000,000).
inline constexpr std::size_t kMaxFormulaMarks = std::size_t{1} << 22;

/// What may stop a computation before it is done: its cost over a limit, or the caller.
struct FormulaRunControl {
    /// The largest cost allowed: bars computed times the operations' weights, about half
    /// nanoseconds a bar (an operator 1, a recursion, COUNT, EXIST or EVERY 4; a drawing
    /// statement 8; MA, SUM, the BARS... functions, FILTER and VALUEWHEN 12; HHV, LLV, HHVBARS,
    /// LLVBARS, STD, STDP, EXP and LOG 20; WMA, SLOPE, FORCAST and POW 40; AVEDEV 8 + N up to 256 bars and
    /// 700 beyond). 0: no limit.
    double maxCost = 0.0;
    /// Checked between instructions: once set, the run stops without its result.
    const std::atomic<bool>* cancel = nullptr;
    /// The most marks the drawing statements may make, kMaxFormulaMarks at most: past it the
    /// run stops ("绘图标记过多，已停止").
    std::size_t maxMarks = kMaxFormulaMarks;
};

/// One computation of a formula over a series, keeping its columns and working memory for
/// the next one: a pane that keeps its FormulaRun recomputes without allocating once the
/// series has stopped growing, and after a live quote computes the changed bars only.
class FormulaRun {
  public:
    FormulaRun();
    ~FormulaRun();
    FormulaRun(FormulaRun&&) noexcept;
    FormulaRun& operator=(FormulaRun&&) noexcept;

    /// Computes `formula` over `bars` (the chart's day, week or month bars) with the
    /// parameter `values` (ParameterValues' rule: defaults for those not given; ranges are
    /// the caller's business). `unchangedBars`: the caller's promise that bars 0 ..
    /// unchangedBars-1 are the same as at the previous Run of this object (a live quote
    /// changes the last bar only, or adds bars after it); 0 promises nothing
    /// (and the promised bars' fields are not gathered again from the rows). When the
    /// formula and values are those of the previous Run and the promise covers its bars but
    /// the last, every instruction goes over the bars from that last one on only, taking its
    /// running values (sums, queues, the last Y of a recursion) from where they stood: the
    /// values are those of a computation from bar 0, bit for bit.
    ///
    /// False when the values make a constant argument leave its range (N - 5 below 1): then
    /// Error() says so at the argument's place and every column is without values; also when
    /// `control` stopped it (Error() says why: too costly, too many marks, or cancelled).
    /// A stopped run has no marks. A run that resumes keeps the marks before the bar it
    /// resumes at and makes those from there on again.
    bool Run(const CompiledFormula& formula, const BarSeries& bars, const std::vector<double>& values = {},
             int unchangedBars = 0, const FormulaRunControl& control = {});

    /// The cost (FormulaRunControl) of Run with these arguments, without computing anything:
    /// the bars it would go over times the formula's weight per bar. A caller decides from it
    /// where to run (at once, or on a worker) before it calls Run.
    double CostOf(const CompiledFormula& formula, int bars, const std::vector<double>& values = {},
                  int unchangedBars = 0) const;

    /// The outcome of the last Run: nothing, or the fault of its constant arguments.
    const std::optional<FormulaError>& Error() const { return m_error; }

    /// Bars of the last Run's series.
    int BarCount() const { return m_bars; }
    int OutputCount() const;
    /// Output k's value per bar (NaN: no value); valid until the next Run or destruction.
    std::span<const double> Column(int output) const;
    /// Output k at `bar`: nothing when it has no value there or `bar` is outside the series.
    std::optional<double> ValueAt(int output, int bar) const;
    /// The title item of output k at `bar`: "NAME:12.35" ("%.2f"), or the name alone where
    /// the output has no value.
    std::string TitleItem(int output, int bar) const;
    /// The marks of the last Run's drawing statements, in bar order (FormulaDrawing.h);
    /// valid until the next Run or destruction.
    std::span<const FormulaMark> Marks() const;

  private:
    /// The run stopped: no values, nothing kept for the next run to resume from.
    bool Stop();

    struct State;
    std::unique_ptr<State> m_state;
    std::shared_ptr<const CompiledFormula::Compiled> m_formula;
    std::optional<FormulaError> m_error;
    int m_bars = 0;
};

}  // namespace qelt
