#include "views/BoardExport.h"

#include "common/Gbk.h"
#include "common/Text.h"

namespace qelt {

SaveRequest SaveRequestFor(BoardExportKind kind) {
    if (kind == BoardExportKind::Csv) return {"CSV", "Qelt行情列表", "Excel文档(*.CSV)|*.CSV"};
    return {"txt", "Qelt行情列表.txt", "文本文档(*.txt)|*.txt"};
}

std::string BoardExportText(BoardExportKind kind, const std::vector<BoardRow>& rows) {
    std::string out;
    if (kind == BoardExportKind::Csv) {
        out = "商品名称,交货月,涨幅,价格,涨跌,买进,卖出,净持仓量,购销总量\r\n";
        for (const BoardRow& row : rows) {
            for (int i = 0; i <= kRowNullNum; ++i) {
                out += CsvField(row.texts[static_cast<size_t>(i)]);
                out += i == kRowNullNum ? "\r\n" : ",";
            }
        }
        return out;
    }
    out = "商品名称\t交货月\t\t涨幅\t\t价格\t\t涨跌\t\t买进\t\t卖出\t\t净持仓量\t购销总量\r\n";
    for (const BoardRow& row : rows) {
        const RowTexts& t = row.texts;
        std::string name = t[kRowName];
        // Names are measured in the file's bytes: a tab stop is 8 of them.
        if (Utf8ToGbk(name).size() < 8) name += "\t";
        out += name + "\t" + t[kRowDueDate] + "\t" + t[kRowChangePercent];
        for (int i = kRowPrice; i <= kRowNullNum; ++i) out += "\t\t" + t[static_cast<size_t>(i)];
        out += "\r\n";
    }
    return out;
}

ExportResult ExportBoard(BoardExportKind kind, const std::vector<BoardRow>& rows, SaveFileDialog& dialog) {
    return SaveExport({SaveRequestFor(kind), BoardExportText(kind, rows)}, dialog);
}

}  // namespace qelt
