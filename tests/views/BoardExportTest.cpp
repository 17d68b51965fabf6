// CSV and text export of the board, byte for byte in GBK.
#include <gtest/gtest.h>

#include "common/Files.h"
#include "common/Gbk.h"
#include "support/FakeViewServices.h"
#include "support/TempDir.h"
#include "views/BoardExport.h"

namespace qelt {
namespace {

class ScriptedDialog : public SaveFileDialog {
  public:
    std::optional<std::string> answer;
    std::vector<SaveRequest> asked;
    std::optional<std::string> AskSavePath(const SaveRequest& request) override {
        asked.push_back(request);
        return answer;
    }
};

std::vector<BoardRow> Rows() {
    CQeltGoods a = test::MakeGoods("0101", "20070325", "1523.00", "1500.00", 0);
    a.name = "桑蚕丝-070325";  // 13 GBK bytes
    a.changePercent = "1.53";
    a.change = "23.00";
    CQeltGoods b = test::MakeGoods("0112", "20070425", "10.00", "10.00", 1);
    b.name = "生丝";  // 4 GBK bytes: one more tab
    b.changePercent = "0.00";
    b.change = "0.00";
    return {BuildBoardRow(a, false), BuildBoardRow(b, false)};
}

TEST(BoardExport, CsvFileIsGbkWithHeaderAndRowsInStoreOrder) {
    test::TempDir dir;
    ScriptedDialog dialog;
    dialog.answer = dir.File("out.csv");
    ASSERT_EQ(ExportBoard(BoardExportKind::Csv, Rows(), dialog), ExportResult::Written);
    ASSERT_EQ(dialog.asked.size(), 1u);
    EXPECT_EQ(dialog.asked[0].defaultExtension, "CSV");
    EXPECT_EQ(dialog.asked[0].defaultName, "Qelt行情列表");
    EXPECT_EQ(dialog.asked[0].filter, "Excel文档(*.CSV)|*.CSV");
    const std::string expected = Utf8ToGbk(
        "商品名称,交货月,涨幅,价格,涨跌,买进,卖出,净持仓量,购销总量\r\n"
        "桑蚕丝-070325,20070325,1.53%,1523.00,23.00,11,12,300,450\r\n"
        "生丝,20070425,0.00%,10.00,0.00,11,12,300,450\r\n");
    EXPECT_EQ(ReadWholeFile(dir.File("out.csv")), expected);
}

TEST(BoardExport, CsvFieldsHoldingCommasOrQuotesAreQuotedAndTheTextFileIsUnchanged) {
    std::vector<BoardRow> rows = Rows();
    rows[0].texts[kRowName] = "丝,\"A\"级";
    const std::string csv = BoardExportText(BoardExportKind::Csv, rows);
    EXPECT_NE(csv.find("\r\n\"丝,\"\"A\"\"级\",20070325,1.53%,1523.00,"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n生丝,20070425,"), std::string::npos) << "other rows stay as they were";
    const std::string text = BoardExportText(BoardExportKind::Text, rows);
    EXPECT_NE(text.find("\r\n丝,\"A\"级\t20070325\t"), std::string::npos) << "tabs need no quoting";
}

TEST(BoardExport, TextFileLinesUpShortNamesWithAnExtraTab) {
    test::TempDir dir;
    ScriptedDialog dialog;
    dialog.answer = dir.File("out.txt");
    ASSERT_EQ(ExportBoard(BoardExportKind::Text, Rows(), dialog), ExportResult::Written);
    EXPECT_EQ(dialog.asked[0].defaultName, "Qelt行情列表.txt");
    EXPECT_EQ(dialog.asked[0].filter, "文本文档(*.txt)|*.txt");
    const std::string expected = Utf8ToGbk(
        "商品名称\t交货月\t\t涨幅\t\t价格\t\t涨跌\t\t买进\t\t卖出\t\t净持仓量\t购销总量\r\n"
        "桑蚕丝-070325\t20070325\t1.53%\t\t1523.00\t\t23.00\t\t11\t\t12\t\t300\t\t450\r\n"
        "生丝\t\t20070425\t0.00%\t\t10.00\t\t0.00\t\t11\t\t12\t\t300\t\t450\r\n");
    EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), expected);
}

TEST(BoardExport, CancelledDialogOrUnwritablePathWritesNothing) {
    test::TempDir dir;
    ScriptedDialog dialog;
    EXPECT_EQ(ExportBoard(BoardExportKind::Csv, Rows(), dialog), ExportResult::Cancelled);
    dialog.answer = dir.File("missing/sub/out.csv");
    EXPECT_EQ(ExportBoard(BoardExportKind::Csv, Rows(), dialog), ExportResult::Failed);
    EXPECT_FALSE(FileExists(dir.File("missing/sub/out.csv")));
}

}  // namespace
}  // namespace qelt
