// The drawing statements' marks over the bars a run computes (FormulaRunState.h).
#include <algorithm>
#include <memory>

#include "formula/FormulaArithmetic.h"
#include "formula/FormulaRunState.h"

namespace qelt {

using namespace formula;

namespace {

/// An input of a Mark instruction at bar i: a column read at i, or a register read at every
/// bar (its step 0).
struct MarkInput {
    const double* at = nullptr;
    std::size_t step = 1;
    double operator[](int i) const { return at[static_cast<std::size_t>(i) * step]; }
};

constexpr double kMarkNoSecondValue = 0.0;

}  // namespace

void FormulaRun::State::StartMarks(int from, std::size_t limit) {
    // The kept marks are in bar order: those from `from` on are the last ones.
    const auto firstRemade = std::partition_point(
        marks.begin(), marks.end(), [from](const FormulaMark& mark) { return mark.bar < from; });
    marks.erase(firstRemade, marks.end());
    newMarkCount = 0;
    newMarksInOrder = true;
    maxMarks = std::min(limit, kMaxFormulaMarks);
    tooManyMarks = marks.size() > maxMarks;
}

void FormulaRun::State::ReserveNewMarks(std::size_t count) {
    if (count <= newMarkCapacity) return;
    const std::size_t capacity = std::max(count, 2 * newMarkCapacity);
    std::unique_ptr<NewMark[]> bigger = std::make_unique_for_overwrite<NewMark[]>(capacity);
    std::copy(newMarks.get(), newMarks.get() + newMarkCount, bigger.get());
    newMarks = std::move(bigger);
    newMarkCapacity = capacity;
}

void FormulaRun::State::MakeMarks(const Instruction& instruction, int n, int from) {
    MarkInput in[3] = {{}, {}, {&kMarkNoSecondValue, 0}};  // the third: 0 unless given
    for (int k = 0; k < instruction.inputs; ++k) {
        const Operand& operand = instruction.in[k];
        if (operand.kind == Operand::Kind::Register) {
            in[k] = MarkInput{&registers[static_cast<std::size_t>(operand.index)], 0};
        } else {
            in[k] = MarkInput{ColumnOf(operand), 1};
        }
    }
    const std::size_t room = maxMarks - std::min(maxMarks, marks.size());
    const std::size_t first = newMarkCount;
    // A mark is written at every bar and kept where it is due: no branch on the data, which
    // a condition true at every other bar would make unpredictable. Room for one past the
    // limit tells that it was passed.
    ReserveNewMarks(std::min(first + static_cast<std::size_t>(n - from), room + 1));
    NewMark* out = newMarks.get();
    std::size_t count = first;
    for (int i = from; i < n; ++i) {
        const double condition = in[0][i], p1 = in[1][i], p2 = in[2][i];
        out[count] = NewMark{i, instruction.drawing, p1, p2};
        count +=
            static_cast<std::size_t>(HasValue(condition) & (condition != 0.0) & HasValue(p1) & HasValue(p2));
        if (count > room) {
            tooManyMarks = true;
            return;
        }
    }
    if (first > 0 && count > first && out[first].bar < out[first - 1].bar) newMarksInOrder = false;
    newMarkCount = count;
}

void FormulaRun::State::FinishMarks(int n, int from) {
    PlaceNewMarks(n, from);
    newMarkCount = 0;
    // A run from bar 0 may have made millions; the runs after a live quote that follow make
    // a few each: the buffer is not kept at its largest beside the marks themselves.
    if (newMarkCapacity > kKeptNewMarks) {
        newMarks.reset();
        newMarkCapacity = 0;
    }
}

void FormulaRun::State::PlaceNewMarks(int n, int from) {
    if (newMarkCount == 0) return;
    const NewMark* made = newMarks.get();
    const std::size_t kept = marks.size();
    // One drawing's marks, or drawings that mark disjoint stretches in turn, are in order
    // already; otherwise a counting sort by bar, which keeps the drawings' order in a bar.
    if (newMarksInOrder) {
        marks.reserve(kept + newMarkCount);
        for (std::size_t k = 0; k < newMarkCount; ++k)
            marks.push_back(FormulaMark{made[k].bar, made[k].drawing, made[k].p1, made[k].p2});
        return;
    }
    const std::size_t bars = static_cast<std::size_t>(n - from);
    marksPerBar.assign(bars + 1, 0);
    for (std::size_t k = 0; k < newMarkCount; ++k)
        ++marksPerBar[static_cast<std::size_t>(made[k].bar - from) + 1];
    for (std::size_t b = 1; b <= bars; ++b) marksPerBar[b] += marksPerBar[b - 1];
    marks.resize(kept + newMarkCount);
    for (std::size_t k = 0; k < newMarkCount; ++k) {
        const NewMark& mark = made[k];
        const std::size_t at =
            kept + static_cast<std::size_t>(marksPerBar[static_cast<std::size_t>(mark.bar - from)]++);
        marks[at] = FormulaMark{mark.bar, mark.drawing, mark.p1, mark.p2};
    }
}

}  // namespace qelt
