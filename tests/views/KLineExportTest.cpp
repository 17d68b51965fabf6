// The K-line exports, byte for byte as they reach the file (GBK, "\r\n").
#include <gtest/gtest.h>

#include "common/Files.h"
#include "support/TempDir.h"
#include "views/KLineExport.h"

namespace qelt {
namespace {

class PathDialog : public SaveFileDialog {
  public:
    explicit PathDialog(std::optional<std::string> path) : m_path(std::move(path)) {}
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        asked = request;
        return m_path;
    }
    SaveRequest asked;

  private:
    std::optional<std::string> m_path;
};

/// A week bar carries its last day's date; an OX column the date of the bar that opened it.
const BarSeries kBars = {
    CBarRow{"20070105", "250.00", "251.50", "252.00", "249.00", "120", "250.75", "30", "4500", "20070325"},
    CBarRow{"20070112", "251.50", "249.00", "253.00", "248.50", "95", "250.10", "-12", "4488", "20070325"},
};

TEST(KLineExport, CommaSeparatedFileByteForByte) {
    test::TempDir dir;
    const ExportDocument document = KLineExport(ExportKind::Csv, kBars, "桑蚕丝-0703");
    PathDialog dialog(dir.File("out.csv"));
    ASSERT_EQ(SaveExport(document, dialog), ExportResult::Written);
    EXPECT_EQ(dialog.asked.defaultName, "桑蚕丝-0703");
    EXPECT_EQ(dialog.asked.defaultExtension, "CSV");
    EXPECT_EQ(dialog.asked.filter, "文本文档(*.CSV)|*.CSV");
    EXPECT_EQ(ReadWholeFile(dir.File("out.csv")).value(),
              // 日期,开盘价,收盘价,最高,最低,成交量,净持仓量,购销总量 in GBK
              "\xC8\xD5\xC6\xDA,\xBF\xAA\xC5\xCC\xBC\xDB,\xCA\xD5\xC5\xCC\xBC\xDB,\xD7\xEE\xB8\xDF,"
              "\xD7\xEE\xB5\xCD,"
              "\xB3\xC9\xBD\xBB\xC1\xBF,\xBE\xBB\xB3\xD6\xB2\xD6\xC1\xBF,\xB9\xBA\xCF\xFA\xD7\xDC\xC1\xBF\r\n"
              "2007-01-05,250.00,251.50,252.00,249.00,120,30,4500\r\n"
              "2007-01-12,251.50,249.00,253.00,248.50,95,-12,4488\r\n");
}

TEST(KLineExport, TabSeparatedTextKeepsItsDoubleTabs) {
    const ExportDocument document = KLineExport(ExportKind::Text, kBars, "桑蚕丝-0703");
    EXPECT_EQ(document.request.defaultName, "桑蚕丝-0703.txt");
    EXPECT_EQ(document.request.defaultExtension, "txt");
    EXPECT_EQ(document.request.filter, "文本文档(*.txt)|*.txt");
    EXPECT_EQ(document.content,
              "日期\t\t开盘价\t收盘价\t最高\t最低\t成交量\t净持仓量\t购销总量\r\n"
              "2007-01-05\t250.00\t251.50\t252.00\t249.00\t120\t30\t\t4500\r\n"
              "2007-01-12\t251.50\t249.00\t253.00\t248.50\t95\t-12\t\t4488\r\n");
}

TEST(KLineExport, ShortDatesAndOddNamesAreHandledSafely) {
    EXPECT_EQ(ExportDate("20070105"), "2007-01-05");
    EXPECT_EQ(ExportDate("200701"), "2007-01");
    EXPECT_EQ(ExportDate("20"), "20");
    EXPECT_EQ(ExportDate(""), "");
    // A text field holding a comma cannot shift the columns of the comma-separated file.
    const BarSeries odd = {CBarRow{"20070105", "1,5", "2", "3", "4", "5", "6", "7", "8", "9"}};
    EXPECT_NE(KLineExport(ExportKind::Csv, odd, "x").content.find("2007-01-05,\"1,5\",2,"),
              std::string::npos);
    EXPECT_EQ(KLinePictureRequest("a/b").defaultName, "a_b.bmp") << "a name is no path";
    EXPECT_EQ(KLinePictureRequest("生丝").filter, "位图文件(*.bmp)|*.bmp");
    EXPECT_EQ(KLinePictureRequest("生丝").defaultExtension, "BMP");

    PathDialog cancelled(std::nullopt);
    EXPECT_EQ(SaveExport(KLineExport(ExportKind::Csv, kBars, "x"), cancelled), ExportResult::Cancelled);
    PathDialog unwritable(std::string("/nonexistent/dir/out.csv"));
    EXPECT_EQ(SaveExport(KLineExport(ExportKind::Csv, kBars, "x"), unwritable), ExportResult::Failed);
}

}  // namespace
}  // namespace qelt
