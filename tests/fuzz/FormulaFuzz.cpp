// libFuzzer target: arbitrary bytes as a formula's text, compiled with three parameters
// and computed over 200 fixed bars (flat, zero and huge prices among them); the same bytes
// also read as formula.txt, which must read back the same after a rewrite. Built only with
// clang (scripts/fuzz-formula.sh).
//
// A wrong value is a finding as a crash is: every output is checked against a reference that
// computes each function straight from its definition (FormulaReference.h), with the default
// values and with others, and a run that goes over the last bars only after a live quote must
// give what a run over every bar gives, to the last bit.
//
// Input: byte 0 chooses the parameter values of the second run; the rest is the text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FormulaReference.h"
#include "common/Numbers.h"
#include "formula/Formula.h"
#include "formula/FormulaFile.h"

namespace {

using namespace qelt;

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

/// A random walk with every 37th close 0, one bar of 1e300 and runs of equal prices.
BarSeries FuzzBars() {
    std::mt19937 random(20060102);
    std::uniform_real_distribution<double> move(-30.0, 30.0);
    BarSeries bars;
    double price = 3000.0;
    for (int i = 0; i < 200; ++i) {
        if (i % 50 < 45) price = std::max(1.0, price + move(random));
        const double close = i % 37 == 36 ? 0.0 : i == 120 ? 1e300 : price;
        const std::string c = FormatFixed2(close), h = FormatFixed2(close + 5), l = FormatFixed2(close / 2);
        bars.push_back(CBarRow{FormatInt(20060102 + i), FormatFixed2(price), c, h, l,
                               FormatInt(i * 37 % 1000), FormatFixed2(price), FormatInt(i - 100), "0",
                               "200606"});
    }
    return bars;
}

/// The reference's verdict on a run: a difference is printed, then trapped.
void CheckAgainstReference(std::string_view text, const std::vector<FormulaParameter>& parameters,
                           const std::vector<double>& values, const BarSeries& bars, bool ran,
                           const FormulaRun& run) {
    const qelt::test::ReferenceResult reference =
        qelt::test::ReferenceOutputs(text, parameters, values, bars);
    Check(reference.compiled);
    if (const std::optional<std::string> difference =
            qelt::test::DifferenceFromReference(reference, ran, run)) {
        std::fprintf(stderr, "formula value differs from the reference: %s\n", difference->c_str());
        __builtin_trap();
    }
}

/// A run that resumes after a live quote (the last bars added) against one over every bar.
void CheckLiveQuote(const CompiledFormula& formula, const BarSeries& bars) {
    const BarSeries before(bars.begin(), bars.begin() + 150);
    FormulaRun live, fresh;
    live.Run(formula, before);
    const bool ran = live.Run(formula, bars, {}, 150);
    Check(ran == fresh.Run(formula, bars));
    for (int k = 0; ran && k < fresh.OutputCount(); ++k) {
        const std::span<const double> a = live.Column(k), b = fresh.Column(k);
        for (std::size_t i = 0; i < b.size(); ++i)
            Check(std::isnan(b[i]) ? std::isnan(a[i]) : std::memcmp(&a[i], &b[i], sizeof(double)) == 0);
    }
    // The marks from the bar it resumed at are made again: all of them as a fresh run's.
    const std::span<const FormulaMark> a = live.Marks(), b = fresh.Marks();
    Check(a.size() == b.size());
    for (std::size_t i = 0; i < b.size(); ++i) Check(std::memcmp(&a[i], &b[i], sizeof(FormulaMark)) == 0);
}

void CheckRun(const FormulaRun& run, int outputs) {
    Check(run.OutputCount() == outputs);
    for (int k = 0; k < outputs; ++k) {
        Check(run.Column(k).size() == 200);
        for (double v : run.Column(k)) Check(std::isnan(v) || std::isfinite(v));  // never an infinity
        run.TitleItem(k, 199);
    }
}

void FuzzFormula(std::uint8_t choice, std::string_view text) {
    static const BarSeries bars = FuzzBars();
    static const std::vector<FormulaParameter> parameters = {
        {"N", 5, 1, 100}, {"M", 2, 1, 10}, {"A", 0.5, 0.01, 1}};
    const FormulaCompileResult compiled = CompileFormula(text, parameters);
    if (!compiled.formula) {
        Check(compiled.error.InText() && compiled.error.column >= 1 && !compiled.error.message.empty());
        return;
    }
    const int outputs = static_cast<int>(compiled.formula->Outputs().size());
    const int drawings = static_cast<int>(compiled.formula->Drawings().size());
    Check(outputs + drawings >= 1 && outputs <= 16 && drawings <= 500);
    FormulaRun run;
    Check(run.Run(*compiled.formula, bars));  // the defaults passed the compiler's checks
    CheckRun(run, outputs);
    CheckAgainstReference(text, parameters, {}, bars, true, run);
    const std::vector<double> first(run.Column(0).begin(), run.Column(0).end());
    // Other values may move a constant out of its range: an error at its place, no values.
    const std::vector<double> values = {static_cast<double>(choice % 16) - 3,
                                        static_cast<double>(choice / 16), (choice % 5) / 4.0};
    const bool ran = run.Run(*compiled.formula, bars, values);
    if (!ran) Check(run.Error() && run.Error()->InText());
    CheckRun(run, outputs);
    CheckAgainstReference(text, parameters, values, bars, ran, run);
    // The defaults again, every bar taken as unchanged: the same as the first run.
    Check(run.Run(*compiled.formula, bars, {}, 200));
    for (std::size_t i = 0; i < first.size(); ++i)
        Check(std::isnan(first[i]) ? std::isnan(run.Column(0)[i]) : first[i] == run.Column(0)[i]);
    CheckLiveQuote(*compiled.formula, bars);
}

void FuzzFile(std::string_view text) {
    const formula::FormulaFileContent content = formula::ParseFormulaFile(text);
    const formula::FormulaFileContent again = formula::ParseFormulaFile(formula::FormatFormulaFile(content));
    Check(again.entries == content.entries);
    Check(again.damaged.size() == content.damaged.size());
    Check(again.nextId == content.nextId);
    Check(again.stray == content.stray);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    FuzzFormula(data[0], text);
    FuzzFile(text);
    return 0;
}
