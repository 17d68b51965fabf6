#include "views/kline/FormulaPanes.h"

#include <algorithm>

namespace qelt {

int UnchangedBars(const BarSeries& before, const BarSeries& after) {
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t same = 0;
    while (same < common && before[same] == after[same]) ++same;
    return static_cast<int>(same);
}

FormulaPanes::FormulaPanes(std::function<void()> ready) : m_worker(std::move(ready)) {}

int FormulaPanes::Promise(const Pane& kept, const Series& series) {
    if (kept.ranBars) return UnchangedBars(*kept.ranBars, *series.bars);
    if (!kept.ranOn) return 0;
    if (*kept.ranOn == series.generation) return static_cast<int>(series.bars->size());
    if (*kept.ranOn + 1 == series.generation) return series.unchangedBars;
    return 0;
}

void FormulaPanes::Cancel(Pane& kept) {
    if (kept.job) kept.job->cancel = true;
    kept.job.reset();
    kept.jobBehind = false;
}

std::shared_ptr<const BarSeries> FormulaPanes::Snapshot(const Series& series) {
    if (!m_snapshot || m_snapshotOn != series.generation) {
        m_snapshot = std::make_shared<const BarSeries>(*series.bars);
        m_snapshotOn = series.generation;
    }
    return m_snapshot;
}

void FormulaPanes::Start(Pane& kept, const std::vector<double>& values, const Series& series) {
    const int n = static_cast<int>(series.bars->size());
    const bool continues = kept.wantedOn && *kept.wantedOn + 1 == series.generation &&
                           series.unchangedBars > 0 && kept.values == values;
    kept.values = values;
    kept.wantedOn = series.generation;
    // A quote while the worker computes: its result is still of use, and the next paint
    // after it goes over the bars the quote changed.
    if (kept.job && continues) {
        kept.jobBehind = true;
        return;
    }
    Cancel(kept);
    const int unchanged = Promise(kept, series);
    const double cost = kept.run.CostOf(*kept.compiled, n, values, unchanged);
    // Beyond the limit the run stops before any work: no need of the worker to say so.
    if (cost <= kFormulaInlineCost || cost > kMaxFormulaPaneCost) {
        kept.runFault.clear();
        if (!kept.run.Run(*kept.compiled, *series.bars, values, unchanged,
                          FormulaRunControl{kMaxFormulaPaneCost}))
            kept.runFault = kept.run.Error() ? kept.run.Error()->Describe() : std::string();
        kept.ranOn = series.generation;
        kept.ranBars.reset();
        kept.showing = true;
        return;
    }
    kept.showing = kept.showing && continues;
    kept.job = std::make_shared<FormulaJob>(*kept.compiled, Snapshot(series), values, series.generation);
    m_worker.Submit(kept.job);
}

FormulaPaneContent FormulaPanes::Prepare(int pane, int id, const FormulaLibrary& library,
                                         const std::vector<double>& values, const Series& series) {
    const StoredFormula* formula = library.Find(id);
    if (!formula || !series.bars) {
        Forget(pane);
        return {};  // deleted: no title
    }
    Pane& kept = m_panes[pane];
    bool compute = !kept.wantedOn || *kept.wantedOn != series.generation || kept.values != values;
    if (!kept.compiledOnce || kept.id != id || kept.revision != library.Revision()) {
        FormulaCompileResult compiled = CompileFormula(formula->text, formula->parameters);
        Cancel(kept);
        kept.compiledOnce = true;
        kept.id = id;
        kept.revision = library.Revision();
        kept.compiled = std::move(compiled.formula);
        kept.outputs = kept.compiled ? kept.compiled->Outputs() : std::vector<FormulaOutput>{};
        kept.drawings = kept.compiled ? kept.compiled->Drawings() : std::vector<FormulaDrawing>{};
        kept.compileFault = kept.compiled ? std::string() : compiled.error.Describe();
        kept.run = FormulaRun();
        kept.showing = false;
        kept.ranOn.reset();
        kept.ranBars.reset();
        kept.wantedOn.reset();
        compute = true;
    }
    if (compute && kept.compiled) Start(kept, values, series);
    FormulaPaneContent content;
    content.title = FormulaPaneTitle(formula->name, values);
    if (!kept.compiled) {
        content.fault = kept.compileFault;
        return content;
    }
    content.outputs = &kept.outputs;
    content.drawings = &kept.drawings;
    if (!kept.showing) {
        content.fault = kFormulaComputing;
    } else if (kept.runFault.empty()) {
        content.run = &kept.run;
        content.marks = kept.run.Marks();
    } else {
        content.fault = kept.runFault;
    }
    return content;
}

bool FormulaPanes::Collect() {
    bool changed = false;
    for (auto& [pane, kept] : m_panes) {
        if (!kept.job || !kept.job->done.load(std::memory_order_acquire)) continue;
        FormulaJob& job = *kept.job;
        kept.run = std::move(job.run);
        kept.runFault = job.computed || !kept.run.Error() ? std::string() : kept.run.Error()->Describe();
        kept.ranBars = job.bars;
        kept.ranOn.reset();
        kept.showing = true;
        // The bars moved on meanwhile: the next paint computes the bars that changed since.
        if (kept.jobBehind) kept.wantedOn.reset();
        kept.job.reset();
        kept.jobBehind = false;
        changed = true;
    }
    return changed;
}

void FormulaPanes::Forget(int pane) {
    const auto found = m_panes.find(pane);
    if (found == m_panes.end()) return;
    Cancel(found->second);
    m_panes.erase(found);
}

}  // namespace qelt
