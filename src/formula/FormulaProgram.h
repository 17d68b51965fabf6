#pragma once
/// The compiled form of a formula: straight-line code over whole columns.
///
/// Values live in three places: scalar registers (numbers, parameters and whatever is made of
/// them only: the same value at every bar; a number is its register's starting value), the bar fields (read
/// from the bars), and slots (columns of one double per bar, NaN where there is no value). The scalar code
/// runs first, once per evaluation; then each column instruction makes one pass over the series. Slots are
/// reused once the value they held is no longer needed, so a long formula does not hold a column for every
/// operation.
#include <cstdint>
#include <vector>

#include "formula/FormulaNames.h"
#include "formula/FormulaTree.h"

namespace qelt::formula {

enum class OpCode : unsigned char {
    // Per bar, on one to three operands, each a register or a column.
    Negate,
    Not,
    Abs,
    Sqrt,
    Ln,
    Add,
    Subtract,
    Multiply,
    Divide,
    Greater,
    Less,
    GreaterEqual,
    LessEqual,
    Equal,
    NotEqual,
    And,
    Or,
    Max,
    Min,
    If,
    Pow,
    Exp,
    Log,
    Sign,
    // Over the series: input columns, constants N and M in registers.
    MovingAverage,
    Ema,
    Sma,
    Dma,
    Ref,
    Hhv,
    Llv,
    Sum,
    Count,
    Std,
    Stdp,
    Avedev,
    Cross,
    BarsLast,
    Wma,
    Slope,
    Forcast,
    ValueWhen,
    Filter,
    Exist,
    Every,
    BarsCount,
    BarsSince,
    BarsLastCount,
    HhvBars,
    LlvBars,
    Fill,  ///< a column of one register's value
    Copy,  ///< a column copied
    /// A drawing statement's marks: COND, then its one or two values, each a register or a
    /// column; a mark at each bar where COND is true and the values have values. No target.
    Mark,
};

struct Operand {
    enum class Kind : unsigned char { Register, Field, Slot };
    Kind kind = Kind::Register;
    int index = 0;  ///< register number, BarData, or slot number

    bool IsColumn() const { return kind != Kind::Register; }
    friend bool operator==(const Operand&, const Operand&) = default;
};

struct Instruction {
    OpCode op = OpCode::Copy;
    Operand target;  ///< a register (scalar code) or a slot (column code)
    Operand in[3];   ///< inputs; `inputs` of them are used
    int inputs = 0;
    int constants[2] = {-1, -1};  ///< registers of N and M (or A)
    int drawing = -1;             ///< Mark: the drawing statement's place among them
};

/// A constant argument, checked again at every evaluation against the values in use (a
/// parameter within its range can still make N - 5 negative).
struct ConstantCheck {
    int reg = 0;
    ConstantRule rule;
    int notAbove = -1;  ///< SMA's M: the register of N it may not exceed
    int line = 1, column = 1;
};

struct Program {
    int parameterCount = 0;  ///< registers 0 .. parameterCount - 1 hold the parameters
    /// Every register's value before the scalar code runs: the numbers of the text in
    /// theirs, 0 in the others (the parameters' are set by the run).
    std::vector<double> registers;
    int slotCount = 0;
    std::uint32_t fields = 0;  ///< bits (BitOf) of the bar fields the code reads
    std::vector<Instruction> scalarCode;
    std::vector<Instruction> columnCode;
    std::vector<ConstantCheck> checks;
    std::vector<int> outputSlots;  ///< the slot holding each output, in output order
};

/// Compiles a checked tree. Statements no output depends on are left out. The outputs are
/// compiled in their order, and a variable where it is first read: its column lives from
/// there to its last reader, which gives it back (a variable's statement early in the text
/// and its readers at the end hold no column in between).
Program Compile(const Tree& tree, int parameterCount);

}  // namespace qelt::formula
