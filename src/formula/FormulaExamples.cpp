// The formulas a new formula.txt starts with: examples of the language that a user can open,
// run and change, and three trading systems to test (交易评测) and learn from.
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

std::vector<StoredFormula> ExampleSystems() {
    return {
        StoredFormula{0,
                      "均线交叉系统",
                      "短期均线上穿长期均线时买入，下穿时卖出平仓；只做多",
                      {{"SHORT", 5, 2, 100}, {"LONG", 20, 3, 250}},
                      "MAS:MA(CLOSE,SHORT);\n"
                      "MAL:MA(CLOSE,LONG);\n"
                      "ENTERLONG:CROSS(MAS,MAL);\n"
                      "EXITLONG:CROSS(MAL,MAS);"},
        StoredFormula{0,
                      "通道突破系统",
                      "收盘价突破前 N 根K线的最高价做多、跌破最低价做空；收盘价从近 N 根K线的最高价"
                      "回落 K 倍平均真实波幅（M 根的均值）时多头离场，空头反之",
                      {{"N", 20, 5, 250}, {"M", 14, 2, 100}, {"K", 3, 0.5, 10}},
                      "TR:=MAX(MAX(HIGH-LOW,ABS(HIGH-REF(CLOSE,1))),ABS(LOW-REF(CLOSE,1)));\n"
                      "ATR:=MA(TR,M);\n"
                      "UPPER:REF(HHV(HIGH,N),1);\n"
                      "LOWER:REF(LLV(LOW,N),1);\n"
                      "ENTERLONG:CLOSE>UPPER;\n"
                      "ENTERSHORT:CLOSE<LOWER;\n"
                      "EXITLONG:CLOSE<HHV(HIGH,N)-K*ATR;\n"
                      "EXITSHORT:CLOSE>LLV(LOW,N)+K*ATR;"},
        StoredFormula{0,
                      "RSI反转系统",
                      "相对强弱指标从超卖区（低于 BUY）回升时买入，从超买区（高于 SELL）回落时卖出；"
                      "多空反手，始终持仓",
                      {{"N", 6, 2, 100}, {"BUY", 20, 1, 50}, {"SELL", 80, 50, 99}},
                      "LC:=REF(CLOSE,1);\n"
                      "RSI:SMA(MAX(CLOSE-LC,0),N,1)/SMA(ABS(CLOSE-LC),N,1)*100;\n"
                      "ENTERLONG:CROSS(RSI,BUY);\n"
                      "ENTERSHORT:CROSS(SELL,RSI);"},
    };
}

}  // namespace qelt
