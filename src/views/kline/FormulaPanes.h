#pragma once
/// What the K-line view keeps for its panes that show the user's formulas, so that a paint
/// computes nothing it computed before and never waits for a heavy formula: per pane the
/// formula compiled once per library revision, and one FormulaRun computed again only when
/// the series, the formula or its parameter values changed. A live quote changes the end of
/// the series only, and the run goes over the changed bars alone.
///
/// A computation whose cost (bars times operations, FormulaRunControl) is small runs at once;
/// a heavier one runs on the panes' worker thread, beyond kMaxFormulaPaneCost it is stopped
/// with the message in its pane. Meanwhile the pane shows the last result while the bars on
/// show continue the ones it was computed for (a quote came in), and kFormulaComputing for
/// other bars; the worker's `ready` notifies the view, which calls Collect to take the result.
/// A computation no longer wanted (other bars, values or text) is cancelled. The formulas over
/// the main chart are kept here as well, under keys of their own below 0 (MainChartFormulaKey);
/// a result carries the run's marks (its drawing statements') with its columns. Interface
/// thread only (but `ready`).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Bar.h"
#include "formula/Formula.h"
#include "formula/FormulaLibrary.h"
#include "views/kline/FormulaPane.h"
#include "views/kline/FormulaWorker.h"

namespace qelt {

/// The pane ids at or above this are the user's formulas' (formula.txt's ids).
inline bool IsFormulaPaneId(int id) { return id >= kFirstFormulaId; }

/// What a pane shows under its title while its first result for the bars is computed.
inline constexpr std::string_view kFormulaComputing = "正在计算…";

/// Computations up to this cost run at once, on the interface thread: about a millisecond.
inline constexpr double kFormulaInlineCost = 1e6;

/// How many leading bars `after` has in common with `before`.
int UnchangedBars(const BarSeries& before, const BarSeries& after);

class FormulaPanes {
  public:
    /// The series the panes compute over: `generation` changes with every load of `bars`,
    /// and `unchangedBars` is how many leading bars that load kept from the one before.
    struct Series {
        const BarSeries* bars = nullptr;
        std::uint64_t generation = 0;
        int unchangedBars = 0;
    };

    /// `ready` is called on the worker's thread when a computation there is done: it posts
    /// the view a notification, on which the view calls Collect.
    explicit FormulaPanes(std::function<void()> ready = [] {});

    /// Pane `pane` showing formula `id` of `library`, computed over `series` with `values`.
    /// The content stays valid until the next call for that pane, Collect, Forget or
    /// destruction.
    FormulaPaneContent Prepare(int pane, int id, const FormulaLibrary& library,
                               const std::vector<double>& values, const Series& series);
    /// Takes the results the worker has finished; true when a pane has a new one to show.
    bool Collect();
    /// The pane shows something else: its run, its computation and its memory go.
    void Forget(int pane);

  private:
    struct Pane {
        bool compiledOnce = false;
        int id = 0;
        std::uint64_t revision = 0;
        std::optional<CompiledFormula> compiled;
        std::vector<FormulaOutput> outputs;
        std::vector<FormulaDrawing> drawings;
        std::string compileFault;
        std::vector<double> values;             ///< of the last computation started
        std::optional<std::uint64_t> wantedOn;  ///< the generation it was started for
        FormulaRun run;                         ///< the result on show: columns and marks
        std::string runFault;
        bool showing = false;                      ///< `run` is of the bars on show, or of bars they continue
        std::optional<std::uint64_t> ranOn;        ///< the generation of the run's last Run here
        std::shared_ptr<const BarSeries> ranBars;  ///< ... or the bars of the worker's Run it came from
        std::shared_ptr<FormulaJob> job;           ///< the computation on the worker
        bool jobBehind = false;                    ///< the bars moved on while the job ran
    };
    /// Computes or starts computing the pane's formula over the series with `values`.
    void Start(Pane& kept, const std::vector<double>& values, const Series& series);
    /// The run's promise: how many leading bars are those of its last Run.
    static int Promise(const Pane& kept, const Series& series);
    static void Cancel(Pane& kept);
    std::shared_ptr<const BarSeries> Snapshot(const Series& series);

    std::map<int, Pane> m_panes;
    std::shared_ptr<const BarSeries> m_snapshot;  ///< the series of m_snapshotOn, for the worker
    std::uint64_t m_snapshotOn = 0;
    FormulaWorker m_worker;  ///< last: it stops before the panes go
};

}  // namespace qelt
