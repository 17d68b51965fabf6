#include "views/KLineExport.h"

#include "chart/MinuteStrip.h"
#include "common/Text.h"

namespace qelt {
namespace {

/// The goods name as a file name: a "/" would make the default a path into a directory.
std::string FileNameOf(const std::string& goodsName) { return ReplaceAll(goodsName, "/", "_"); }

constexpr BarField kExportFields[] = {kBarOpen, kBarClose, kBarHigh, kBarLow, kBarNum, kBarPure, kBarNull};

}  // namespace

std::string ExportDate(std::string_view date) {
    std::string out(date.substr(0, 4));
    if (date.size() > 4) out += "-" + std::string(date.substr(4, 2));
    if (date.size() > 6) out += "-" + std::string(date.substr(6));
    return out;
}

ExportDocument KLineExport(ExportKind kind, const BarSeries& bars, const std::string& goodsName,
                           bool minuteBars) {
    ExportDocument document;
    std::string& out = document.content;
    if (kind == ExportKind::Csv) {
        document.request = {"CSV", FileNameOf(goodsName), "文本文档(*.CSV)|*.CSV"};
        out = minuteBars ? "日期,时间,开盘价,收盘价,最高,最低,成交量,净持仓量,购销总量\r\n"
                         : "日期,开盘价,收盘价,最高,最低,成交量,净持仓量,购销总量\r\n";
        for (const CBarRow& bar : bars) {
            out += CsvField(ExportDate(bar[kBarDate]));
            if (minuteBars) out += "," + MinuteClockText(bar.Time());
            for (BarField field : kExportFields) out += "," + CsvField(bar[field]);
            out += "\r\n";
        }
        return document;
    }
    document.request = {"txt", FileNameOf(goodsName) + ".txt", "文本文档(*.txt)|*.txt"};
    out = minuteBars ? "日期\t\t时间\t开盘价\t收盘价\t最高\t最低\t成交量\t净持仓量\t购销总量\r\n"
                     : "日期\t\t开盘价\t收盘价\t最高\t最低\t成交量\t净持仓量\t购销总量\r\n";
    for (const CBarRow& bar : bars) {
        out += ExportDate(bar[kBarDate]);
        if (minuteBars) out += "\t" + MinuteClockText(bar.Time());
        for (BarField field : kExportFields) {
            // Two tabs before the last field, as the header's columns fall.
            out += field == kBarNull ? "\t\t" : "\t";
            out += bar[field];
        }
        out += "\r\n";
    }
    return document;
}

SaveRequest KLinePictureRequest(const std::string& goodsName) {
    return {"BMP", FileNameOf(goodsName) + ".bmp", "位图文件(*.bmp)|*.bmp"};
}

}  // namespace qelt
