#include "views/kline/FormulaPanes.h"

#include <algorithm>

namespace qelt {

int UnchangedBars(const BarSeries& before, const BarSeries& after) {
    const std::size_t common = std::min(before.size(), after.size());
    std::size_t same = 0;
    while (same < common && before[same] == after[same]) ++same;
    return static_cast<int>(same);
}

void FormulaPanes::Run(Pane& kept, const std::vector<double>& values, const Series& series) {
    // The run's promise: the bars of its previous run that are still the same.
    const int n = static_cast<int>(series.bars->size());
    int unchanged = 0;
    if (kept.ranOn && *kept.ranOn == series.generation) unchanged = n;
    if (kept.ranOn && *kept.ranOn + 1 == series.generation) unchanged = series.unchangedBars;
    if (!kept.run.Run(*kept.compiled, *series.bars, values, unchanged))
        kept.runFault = kept.run.Error() ? kept.run.Error()->Describe() : std::string();
    kept.ranOn = series.generation;
}

FormulaPaneContent FormulaPanes::Prepare(int pane, int id, const FormulaLibrary& library,
                                         const std::vector<double>& values, const Series& series) {
    const StoredFormula* formula = library.Find(id);
    if (!formula || !series.bars) {
        Forget(pane);
        return {};  // deleted: no title
    }
    Pane& kept = m_panes[pane];
    bool compute = !kept.shownOn || *kept.shownOn != series.generation || kept.values != values;
    if (!kept.compiledOnce || kept.id != id || kept.revision != library.Revision()) {
        FormulaCompileResult compiled = CompileFormula(formula->text, formula->parameters);
        kept.compiledOnce = true;
        kept.id = id;
        kept.revision = library.Revision();
        kept.compiled = std::move(compiled.formula);
        kept.outputs = kept.compiled ? kept.compiled->Outputs() : std::vector<FormulaOutput>{};
        kept.compileFault = kept.compiled ? std::string() : compiled.error.Describe();
        compute = true;
    }
    if (compute) {
        kept.runFault.clear();
        if (kept.compiled) Run(kept, values, series);
        kept.values = values;
        kept.shownOn = series.generation;
    }
    FormulaPaneContent content;
    content.title = FormulaPaneTitle(formula->name, values);
    if (!kept.compiled) {
        content.fault = kept.compileFault;
        return content;
    }
    content.outputs = &kept.outputs;
    if (kept.runFault.empty())
        content.run = &kept.run;
    else
        content.fault = kept.runFault;
    return content;
}

}  // namespace qelt
