#pragma once
/// What a FormulaRun keeps between computations (private to the formula layer): the bar
/// fields read, the columns, and what lets the next computation after a live quote go over
/// the changed bars only.
///
/// Slots are shared by the values of a formula in turn, so after a run a slot holds only
/// the last value written to it. A run that resumes at bar R (the last bar of the previous
/// run) therefore computes every instruction over bars R..n-1 only: a per-bar operation
/// needs nothing before R; a series function takes its running values as they stood before
/// R (SeriesState) and the input bars it looks back on (a window's leaving bars, CROSS's bar
/// before) from a copy it kept of them (its tail), joined to the new bars in a scratch
/// column. Once an output is written its slot is never taken again, so from there on its bars
/// before R are those of the previous run. The drawing statements' marks before R are kept;
/// those from R on are made again.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "data/Bar.h"
#include "formula/Formula.h"
#include "formula/FormulaProgram.h"
#include "formula/FormulaSeries.h"

namespace qelt {

struct FormulaRun::State {
    /// Tails and queues beyond this many values in all are not kept: such a formula
    /// (thousands of windows as long as the series) computes every bar again after a live
    /// quote instead of holding hundreds of megabytes for it.
    static constexpr std::size_t kMaxKeptValues = std::size_t{4} << 20;

    std::array<std::vector<double>, formula::kBarDataCount> fields;
    std::array<int, formula::kBarDataCount> fieldBars{};  ///< bars of each field read and still valid
    std::vector<std::vector<double>> slots;
    std::vector<double> registers;
    std::vector<FormulaMark> marks;  ///< the drawing statements' marks, in bar order
    /// A mark as a Mark instruction writes it: one at every bar, kept (counted) only where it
    /// is due, so the buffer is left uninitialised until written.
    struct NewMark {
        int bar;
        int drawing;
        double p1, p2;
    };
    /// The marks this run makes, drawing after drawing, until FinishMarks puts them in bar
    /// order after the kept ones.
    std::unique_ptr<NewMark[]> newMarks;
    std::size_t newMarkCount = 0;
    std::size_t newMarkCapacity = 0;
    bool newMarksInOrder = true;  ///< each drawing's marks start at or after the last one's end
    /// newMarks' capacity kept for the next run (24 MB); a larger buffer is given back.
    static constexpr std::size_t kKeptNewMarks = std::size_t{1} << 20;
    std::vector<int> marksPerBar;  ///< FinishMarks' counting sort
    std::size_t maxMarks = kMaxFormulaMarks;
    bool tooManyMarks = false;  ///< a Mark instruction went past maxMarks
    formula::SeriesScratch scratch;

    // What a run that resumes needs, valid while resumeBar >= 0.
    int resumeBar = -1;  ///< the bar the kept running values stand before (n - 1 of the last run)
    std::shared_ptr<const CompiledFormula::Compiled> ranFormula;  ///< the formula the last run computed
    std::vector<double> ranRegisters;                             ///< ... with these values
    std::vector<formula::SeriesState> running;                    ///< per column instruction
    std::vector<std::array<std::vector<double>, 2>> tails;        ///< per column instruction and input
    /// Per slot: for an output's, the instruction that writes its value; from the next one on
    /// the slot holds every bar of the output (none other writes it). SIZE_MAX for the others.
    std::vector<std::size_t> finalFrom;
    std::size_t keptValues = 0;  ///< doubles held in tails and queues this run

    /// The caller's promise holds for the bars of the previous run only: a datum that run did
    /// not read (another formula, or one stopped by its constants) is valid no further than
    /// the promise, whatever an earlier run left in its column.
    void KeepFieldsUpTo(int unchangedBars);
    void ReadFields(const BarSeries& bars, std::uint32_t wanted);
    /// The registers for `values`: the numbers, the parameters and the scalar code's results.
    void SetRegisters(const CompiledFormula::Compiled& formula, const std::vector<double>& values,
                      std::vector<double>& into) const;
    std::optional<FormulaError> CheckConstants(const formula::Program& program) const;

    /// The bar the column code can start at: the kept one when the formula, the values and
    /// the bars before it are those of the last run; 0 otherwise.
    int ResumeBar(const CompiledFormula::Compiled& formula, const std::vector<double>& withRegisters, int n,
                  int unchangedBars) const;
    /// Sets up what a run from bar 0 of `formula` keeps.
    void StartAfresh(const std::shared_ptr<const CompiledFormula::Compiled>& formula);

    /// Keeps the marks before bar `from` (none when it is 0), at most `limit` in all from now.
    void StartMarks(int from, std::size_t limit);
    /// The marks of a Mark instruction over bars from..n-1; sets tooManyMarks past the limit.
    void MakeMarks(const formula::Instruction& instruction, int n, int from);
    /// Puts the new marks in bar order (then statement order) after the kept ones.
    void FinishMarks(int n, int from);
    void PlaceNewMarks(int n, int from);
    void ReserveNewMarks(std::size_t marks);

    /// Instruction `k` over bars from..n-1.
    void Execute(const formula::Program& program, std::size_t k, int n, int from);

  private:
    const double* ColumnOf(const formula::Operand& operand) const;
    double* SlotOf(const formula::Operand& operand) {
        return slots[static_cast<std::size_t>(operand.index)].data();
    }
    double Constant(const formula::Instruction& instruction, int k) const {
        return registers[static_cast<std::size_t>(instruction.constants[k])];
    }
    /// Input bars instruction `k` looks back on before the bar it starts at.
    int Lookback(const formula::Instruction& instruction) const;
    /// True when instruction `k` reads in `operand` a column whose every bar is valid: a bar
    /// field, or an output's column once the output is written.
    bool HoldsEveryBar(const formula::Operand& operand, std::size_t k) const {
        return operand.kind == formula::Operand::Kind::Field ||
               (operand.kind == formula::Operand::Kind::Slot &&
                k > finalFrom[static_cast<std::size_t>(operand.index)]);
    }
    /// Input `input` of instruction `k` as the series function reads it over bars
    /// from - lookback .. n-1.
    const double* InputOf(const formula::Instruction& instruction, int input, std::size_t k, int from, int n);
    /// Keeps the input bars the next run's pass will look back on (before bar n-1).
    void KeepTails(const formula::Instruction& instruction, std::size_t k, int n,
                   const double* const* inputs);
    void RunSeries(const formula::Instruction& instruction, std::size_t k, int n, int from,
                   const double* const* inputs);
};

}  // namespace qelt
