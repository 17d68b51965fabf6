#pragma once
/// The K-line view's exports of its displayed series, all bars from the oldest (whatever
/// window is on show; in OX mode the OX columns): "导出到EXCEL" (comma-separated) and
/// "导出到文本文件" (tab-separated), GBK with "\r\n" line ends, and the save dialog of
/// "导出到图片" (the host paints the view into a bitmap and writes the file).
///
/// Every bar gives date (as YYYY-MM-DD), open, close, high, low, volume, net position and
/// total position, each the text the bar holds; minute bars have their time ("09:35") after
/// the date, in a column 时间.
#include <string>
#include <string_view>

#include "data/Bar.h"
#include "views/ExportFile.h"

namespace qelt {

/// "20060601" as "2006-06-01": a "-" after the fourth and after the sixth character (where
/// the date is that long).
std::string ExportDate(std::string_view date);

/// The export document of `bars` for goods `goodsName`: its save dialog (the goods name as
/// default name, "CSV" / "txt") and its content (UTF-8, converted to GBK when written).
ExportDocument KLineExport(ExportKind kind, const BarSeries& bars, const std::string& goodsName,
                           bool minuteBars = false);

/// "导出到图片": default name "<goods>.bmp", extension "BMP", filter "位图文件(*.bmp)|*.bmp".
SaveRequest KLinePictureRequest(const std::string& goodsName);

}  // namespace qelt
