#include "formula/FormulaKernels.h"

#include "formula/FormulaArithmetic.h"

namespace qelt::formula {
namespace {

template <class F>
void Map1(F f, const Source& a, double* out, int n) {
    const double* x = a.column;
    for (int i = 0; i < n; ++i) out[i] = f(x[i]);
}

template <class F>
void Map2(F f, const Source& a, const Source& b, double* out, int n) {
    if (a.column && b.column) {
        const double *x = a.column, *y = b.column;
        for (int i = 0; i < n; ++i) out[i] = f(x[i], y[i]);
    } else if (a.column) {
        const double* x = a.column;
        const double y = b.scalar;
        for (int i = 0; i < n; ++i) out[i] = f(x[i], y);
    } else {
        const double x = a.scalar;
        const double* y = b.column;
        for (int i = 0; i < n; ++i) out[i] = f(x, y[i]);
    }
}

double At(const Source& s, int i) { return s.column ? s.column[i] : s.scalar; }

void MapIf(const Source* in, double* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = IfOp(At(in[0], i), At(in[1], i), At(in[2], i));
}

}  // namespace

void RunPerBar(OpCode op, const Source* in, double* out, int n) {
    switch (op) {
        case OpCode::Negate:
            return Map1(NegateOp, in[0], out, n);
        case OpCode::Not:
            return Map1(NotOp, in[0], out, n);
        case OpCode::Abs:
            return Map1(AbsOp, in[0], out, n);
        case OpCode::Sqrt:
            return Map1(SqrtOp, in[0], out, n);
        case OpCode::Ln:
            return Map1(LnOp, in[0], out, n);
        case OpCode::Add:
            return Map2(AddOp, in[0], in[1], out, n);
        case OpCode::Subtract:
            return Map2(SubtractOp, in[0], in[1], out, n);
        case OpCode::Multiply:
            return Map2(MultiplyOp, in[0], in[1], out, n);
        case OpCode::Divide:
            return Map2(DivideOp, in[0], in[1], out, n);
        case OpCode::Greater:
            return Map2(GreaterOp, in[0], in[1], out, n);
        case OpCode::Less:
            return Map2(LessOp, in[0], in[1], out, n);
        case OpCode::GreaterEqual:
            return Map2(GreaterEqualOp, in[0], in[1], out, n);
        case OpCode::LessEqual:
            return Map2(LessEqualOp, in[0], in[1], out, n);
        case OpCode::Equal:
            return Map2(EqualOp, in[0], in[1], out, n);
        case OpCode::NotEqual:
            return Map2(NotEqualOp, in[0], in[1], out, n);
        case OpCode::And:
            return Map2(AndOp, in[0], in[1], out, n);
        case OpCode::Or:
            return Map2(OrOp, in[0], in[1], out, n);
        case OpCode::Max:
            return Map2(MaxOp, in[0], in[1], out, n);
        case OpCode::Min:
            return Map2(MinOp, in[0], in[1], out, n);
        case OpCode::If:
            return MapIf(in, out, n);
        case OpCode::Pow:
            return Map2(PowOp, in[0], in[1], out, n);
        case OpCode::Exp:
            return Map1(ExpOp, in[0], out, n);
        case OpCode::Log:
            return Map1(LogOp, in[0], out, n);
        case OpCode::Sign:
            return Map1(SignOp, in[0], out, n);
        default:
            return;  // not a per-bar operation
    }
}

double ApplyScalar(OpCode op, const double* in) {
    switch (op) {
        case OpCode::Negate:
            return NegateOp(in[0]);
        case OpCode::Not:
            return NotOp(in[0]);
        case OpCode::Abs:
            return AbsOp(in[0]);
        case OpCode::Sqrt:
            return SqrtOp(in[0]);
        case OpCode::Ln:
            return LnOp(in[0]);
        case OpCode::Add:
            return AddOp(in[0], in[1]);
        case OpCode::Subtract:
            return SubtractOp(in[0], in[1]);
        case OpCode::Multiply:
            return MultiplyOp(in[0], in[1]);
        case OpCode::Divide:
            return DivideOp(in[0], in[1]);
        case OpCode::Greater:
            return GreaterOp(in[0], in[1]);
        case OpCode::Less:
            return LessOp(in[0], in[1]);
        case OpCode::GreaterEqual:
            return GreaterEqualOp(in[0], in[1]);
        case OpCode::LessEqual:
            return LessEqualOp(in[0], in[1]);
        case OpCode::Equal:
            return EqualOp(in[0], in[1]);
        case OpCode::NotEqual:
            return NotEqualOp(in[0], in[1]);
        case OpCode::And:
            return AndOp(in[0], in[1]);
        case OpCode::Or:
            return OrOp(in[0], in[1]);
        case OpCode::Max:
            return MaxOp(in[0], in[1]);
        case OpCode::Min:
            return MinOp(in[0], in[1]);
        case OpCode::If:
            return IfOp(in[0], in[1], in[2]);
        case OpCode::Pow:
            return PowOp(in[0], in[1]);
        case OpCode::Exp:
            return ExpOp(in[0]);
        case OpCode::Log:
            return LogOp(in[0]);
        case OpCode::Sign:
            return SignOp(in[0]);
        default:
            return kNoValue;
    }
}

}  // namespace qelt::formula
