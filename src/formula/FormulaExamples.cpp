// The three formulas a new formula.txt starts with: examples of the language that a user
// can open, run and change.
#include "formula/FormulaLibrary.h"

namespace qelt {

std::vector<StoredFormula> ExampleFormulas() {
    return {
        StoredFormula{1000,
                      "价格振荡",
                      "短期均线与长期均线之差占长期均线的百分比，及其平均",
                      {{"SHORT", 12, 2, 100}, {"LONG", 26, 3, 250}, {"M", 9, 1, 100}},
                      "OSC:(MA(CLOSE,SHORT)-MA(CLOSE,LONG))/MA(CLOSE,LONG)*100,COLORSTICK;\n"
                      "MAOSC:MA(OSC,M);"},
        StoredFormula{1001,
                      "通道突破",
                      "前 N 根K线的最高价与最低价构成通道；收盘价向上突破记 1，向下突破记 -1",
                      {{"N", 20, 2, 250}},
                      "UP:REF(HHV(HIGH,N),1);\n"
                      "DOWN:REF(LLV(LOW,N),1);\n"
                      "MIDDLE:(UP+DOWN)/2,DOTLINE;\n"
                      "SIGNAL:CROSS(CLOSE,UP)-CROSS(DOWN,CLOSE),NODRAW;"},
        StoredFormula{1002,
                      "量比",
                      "成交量与此前 N 根K线平均成交量之比",
                      {{"N", 5, 1, 100}},
                      "RATIO:VOL/REF(MA(VOL,N),1),VOLSTICK;\n"
                      "LEVEL:1,COLORGRAY,DOTLINE;"},
    };
}

}  // namespace qelt
