#pragma once
// Random formulas that compile: every operator and function of the language over the bar data,
// numbers, a parameter P and the names of earlier statements, nested a few levels, with
// constant arguments in their ranges; and random bars for them to run over.
#include <random>
#include <string>
#include <vector>

#include "common/Numbers.h"
#include "data/Bar.h"
#include "formula/Formula.h"

namespace qelt::test {

/// The parameter every random formula may read (a constant argument may use it).
inline const std::vector<FormulaParameter>& RandomFormulaParameters() {
    static const std::vector<FormulaParameter> parameters = {{"P", 3, 1, 10}};
    return parameters;
}

class RandomFormulaMaker {
  public:
    explicit RandomFormulaMaker(std::mt19937& random) : m_random(random) {}

    /// Two to seven statements, variables and outputs mixed, the last one an output.
    std::string Text() {
        m_names.clear();
        std::string text;
        const int statements = Pick(2, 7);
        for (int s = 0; s < statements; ++s) {
            const bool variable = s + 1 < statements && Pick(0, 2) == 0;
            const std::string name = (variable ? "V" : "O") + std::to_string(s);
            // Now and then a statement of numbers and the parameter only: the same at every bar.
            const std::string expression = Pick(0, 7) == 0 ? Uniform(2) : Expression(Pick(1, 4));
            text += name + (variable ? ":=" : ":") + expression + ";\n";
            m_names.push_back(name);
        }
        return text;
    }

  private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    template <class T>
    const T& OneOf(const std::vector<T>& choices) {
        return choices[static_cast<std::size_t>(Pick(0, static_cast<int>(choices.size()) - 1))];
    }

    std::string Leaf() {
        switch (Pick(0, 4)) {
            case 0:
            case 1:
                return OneOf<std::string>({"C", "O", "H", "L", "V", "OPI", "AVGPRICE", "C", "CLOSE"});
            case 2:
                return OneOf<std::string>({"0", "1", "2", "0.5", "3", "10", "100", "2.25", "P"});
            default:
                return m_names.empty() ? "C" : OneOf(m_names);
        }
    }

    /// Numbers and the parameter only.
    std::string Uniform(int depth) {
        if (depth == 0) return OneOf<std::string>({"1", "2", "0.5", "P", "100", "0"});
        return "(" + Uniform(depth - 1) + OneOf<std::string>({"+", "-", "*", "/"}) + Uniform(depth - 1) + ")";
    }

    /// A window N: a number or the parameter, within [minimum, 12].
    std::string Window(int minimum) {
        if (Pick(0, 4) == 0 && minimum <= 1) return "P";
        if (Pick(0, 5) == 0) return "P+" + std::to_string(minimum);
        return std::to_string(Pick(minimum, minimum == 0 ? 6 : 12));
    }

    std::string Expression(int depth) {
        if (depth == 0 || Pick(0, 5) == 0) return Leaf();
        const auto x = [&] { return Expression(depth - 1); };
        switch (Pick(0, 34)) {
            case 0:
                return "-" + x();
            case 1:
                return "NOT " + x();
            case 2:
            case 3:
            case 4:
                return "(" + x() + OneOf<std::string>({"+", "-", "*", "/"}) + x() + ")";
            case 5:
                return "(" + x() + OneOf<std::string>({">", "<", ">=", "<=", "=", "<>"}) + x() + ")";
            case 6:
                return "(" + x() + OneOf<std::string>({" AND ", " OR ", "&&", "||"}) + x() + ")";
            case 7:
                return "MA(" + x() + "," + Window(1) + ")";
            case 8:
                return "EMA(" + x() + "," + Window(1) + ")";
            case 9: {
                const int n = Pick(1, 9);
                return "SMA(" + x() + "," + std::to_string(n) + "," + std::to_string(Pick(1, n)) + ")";
            }
            case 10:
                return "DMA(" + x() + "," + OneOf<std::string>({"0.1", "0.5", "1", "0.25", "1/P"}) + ")";
            case 11:
                return "REF(" + x() + "," + Window(0) + ")";
            case 12:
                return OneOf<std::string>({"HHV(", "LLV("}) + x() + "," + Window(0) + ")";
            case 13:
                return OneOf<std::string>({"SUM(", "COUNT("}) + x() + "," + Window(0) + ")";
            case 14:
                return "STD(" + x() + "," + Window(2) + ")";
            case 15:
                return "STDP(" + x() + "," + Window(1) + ")";
            case 16:
                return "AVEDEV(" + x() + "," + Window(1) + ")";
            case 17:
                return OneOf<std::string>({"ABS(", "SQRT(", "LN("}) + x() + ")";
            case 18:
                return OneOf<std::string>({"MAX(", "MIN("}) + x() + "," + x() + ")";
            case 19:
                return "IF(" + x() + "," + x() + "," + x() + ")";
            case 20:
                return "CROSS(" + x() + "," + x() + ")";
            case 21:
                return "BARSLAST(" + x() + ")";
            case 22:
                return "(" + x() + "+" + Uniform(1) + ")";
            case 23:
                return "WMA(" + x() + "," + Window(1) + ")";
            case 24:
                return OneOf<std::string>({"SLOPE(", "FORCAST("}) + x() + "," + Window(2) + ")";
            case 25:
                return "VALUEWHEN(" + x() + "," + x() + ")";
            case 26:
                return "FILTER(" + x() + "," + Window(1) + ")";
            case 27:
                return OneOf<std::string>({"EXIST(", "EVERY(", "HHVBARS(", "LLVBARS("}) + x() + "," +
                       Window(0) + ")";
            case 28:
                return OneOf<std::string>({"BARSCOUNT(", "BARSSINCE(", "BARSLASTCOUNT("}) + x() + ")";
            case 29:
                return "POW(" + x() + "," +
                       (Pick(0, 1) ? OneOf<std::string>({"2", "0.5", "-1", "3", "P"}) : x()) + ")";
            case 30:
                return OneOf<std::string>({"EXP(", "LOG(", "SIGN("}) + x() + ")";
            default:
                return Leaf();
        }
    }

    std::mt19937& m_random;
    std::vector<std::string> m_names;
};

/// A bar of the random series: prices about `price`, a volume and a net position.
inline CBarRow RandomBar(std::mt19937& random, int index, double price) {
    std::uniform_int_distribution<int> spread(0, 4);
    const double high = price + spread(random), low = price - spread(random);
    const double open = low + spread(random) % static_cast<int>(high - low + 1);
    auto text = [](double v) { return FormatGeneral(v, 10); };
    return CBarRow{FormatInt(20060102 + index),
                   text(open),
                   text(price),
                   text(high),
                   text(low),
                   FormatInt(100 + spread(random) * 37),
                   text((high + low) / 2),
                   FormatInt(spread(random) - 2),
                   "0",
                   "200606"};
}

/// Whole prices on a random walk about 20 (ties and zero differences are common), with the
/// close 0 now and then.
inline double RandomPrice(std::mt19937& random, double price) {
    const int step = std::uniform_int_distribution<int>(-2, 2)(random);
    if (std::uniform_int_distribution<int>(0, 19)(random) == 0) return 0.0;
    return std::max(price, 1.0) + step;
}

}  // namespace qelt::test
