#pragma once
/// What the K-line view keeps for its panes that show the user's formulas, so that a paint
/// computes nothing it computed before: per pane the formula compiled once per library
/// revision, and one FormulaRun computed again only when the series, the formula or its
/// parameter values changed. After a reload the run reads again only the bars the reload
/// changed (a live quote changes the last one). Interface thread only.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/Bar.h"
#include "formula/Formula.h"
#include "formula/FormulaLibrary.h"
#include "views/kline/FormulaPane.h"

namespace qelt {

/// The pane ids at or above this are the user's formulas' (formula.txt's ids).
inline bool IsFormulaPaneId(int id) { return id >= kFirstFormulaId; }

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

    /// Pane `pane` showing formula `id` of `library`, computed over `series` with `values`.
    /// The content stays valid until the next call for that pane, Forget or destruction.
    FormulaPaneContent Prepare(int pane, int id, const FormulaLibrary& library,
                               const std::vector<double>& values, const Series& series);
    /// The pane shows something else: its run and its memory go.
    void Forget(int pane) { m_panes.erase(pane); }

  private:
    struct Pane {
        bool compiledOnce = false;
        int id = 0;
        std::uint64_t revision = 0;
        std::optional<CompiledFormula> compiled;
        std::vector<FormulaOutput> outputs;
        std::string compileFault;
        std::vector<double> values;
        std::optional<std::uint64_t> shownOn;  ///< the generation the content is of
        std::optional<std::uint64_t> ranOn;    ///< the generation of the run's last Run
        FormulaRun run;
        std::string runFault;
    };
    static void Run(Pane& kept, const std::vector<double>& values, const Series& series);

    std::map<int, Pane> m_panes;
};

}  // namespace qelt
