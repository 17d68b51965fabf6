// The formula editor's rules without widgets: parameter rows read as typed, 测试公式's verdict
// with the cursor's place, 确定 refusing what cannot be saved and saving what can, and the
// list's selection, questions and messages around delete, import and export; the pane's
// parameter dialog taking only values within their ranges.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/FormulaEditModel.h"
#include "app/FormulaListModel.h"
#include "app/FormulaParamModel.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

class FormulaEditorModels : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(library.Load().empty()); }

    static FormulaEditFields Fields(std::string name, std::string text) {
        FormulaEditFields fields;
        fields.name = std::move(name);
        fields.text = std::move(text);
        return fields;
    }
    std::string FileNow() const { return ReadWholeFile(library.Path()).value_or("<missing>"); }

    test::TempDir dir;
    FormulaLibrary library{dir.Path()};
};

TEST_F(FormulaEditorModels, TestPutsTheCursorAtTheFaultCountingPlacesAsTheEditorDoes) {
    FormulaEditModel model(library, 0);
    EXPECT_FALSE(model.Test(Fields("", "短线:MA(C,5);\n长线:MA(C,20);"))) << "the name is not tested";

    std::optional<FormulaFieldProblem> problem = model.Test(Fields("", "短线:MA(C,5);\n长线:MAA(C,5);"));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, FormulaField::Text);
    EXPECT_EQ(problem->message, "2:4: 未知的函数 MAA");
    EXPECT_EQ(problem->cursor, 11 + 1 + 3);

    // A character outside the basic plane takes two places in the editor.
    problem = model.Test(Fields("", "\U00020000:=C;\nX:MAA(C);"));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->cursor, 2 + 4 + 1 + 2);
    // A fault at the very end: the cursor goes there.
    const std::string open = "A:MA(C,5";
    problem = model.Test(Fields("", open));
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->cursor, static_cast<int>(open.size()));
}

TEST_F(FormulaEditorModels, ParameterRowsAreReadAsTypedAndEachFaultPointsAtItsField) {
    FormulaEditModel model(library, 0);
    FormulaEditFields fields = Fields("新", "A:MA(C,N)+M;");
    fields.parameters[0] = {" N ", "5", "1", "250"};
    fields.parameters[2] = {"M", "-2.5", "-10", "+1e1"};  // row 1 left blank: rows need not be adjacent
    EXPECT_FALSE(model.Test(fields));

    auto faultOf = [&](int row, FormulaParameterFields typed) {
        FormulaEditFields changed = fields;
        changed.parameters[row] = std::move(typed);
        return model.Test(changed);
    };
    auto expect = [](const std::optional<FormulaFieldProblem>& problem, FormulaField field, int row,
                     const std::string& message) {
        ASSERT_TRUE(problem) << message;
        EXPECT_EQ(problem->field, field) << message;
        EXPECT_EQ(problem->row, row) << message;
        EXPECT_EQ(problem->message, message);
    };
    expect(faultOf(2, {"n", "1", "1", "2"}), FormulaField::ParameterName, 2, "参数 n 重复定义");
    expect(faultOf(2, {"M", "1", "5", "2"}), FormulaField::ParameterMinimum, 2, "参数 M 的最小值大于最大值");
    expect(faultOf(2, {"M", "7", "1", "5"}), FormulaField::ParameterDefault, 2,
           "参数 M 的缺省值不在 1 到 5 之间");
    expect(faultOf(2, {"M", "1", "0", "1,5"}), FormulaField::ParameterMaximum, 2,
           "参数 M 的最大值 1,5 不是数字");
    expect(faultOf(2, {"M", "", "0", "1"}), FormulaField::ParameterDefault, 2, "请输入参数 M 的缺省值");
    expect(faultOf(2, {"M", "1e999", "0", "1"}), FormulaField::ParameterDefault, 2,
           "参数 M 的缺省值 1e999 不是数字");
    expect(faultOf(1, {"", "1", "", ""}), FormulaField::ParameterName, 1, "第 2 行参数缺少名称");
    expect(faultOf(2, {"MA", "1", "0", "1"}), FormulaField::ParameterName, 2, "参数名 MA 是函数名");

    // The defaults are what the text's constants are checked with.
    std::optional<FormulaFieldProblem> problem = faultOf(0, {"N", "0", "0", "5"});
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->field, FormulaField::Text);
    EXPECT_EQ(problem->message, "1:8: N 必须在 1 到 1000000 之间");
}

TEST_F(FormulaEditorModels, OkRefusesWhatCannotBeSavedAndLeavesTheFileAsItWas) {
    const std::string before = FileNow();
    FormulaEditModel model(library, 0);
    EXPECT_EQ(model.Caption(), "新建公式");

    FormulaEditOutcome outcome = model.Accept(Fields("新", "A:MA(C,5);\nB:MAA(C);"));
    EXPECT_FALSE(outcome.closes);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->message, "2:3: 未知的函数 MAA");
    EXPECT_EQ(outcome.problem->cursor, 11 + 2);

    outcome = model.Accept(Fields("  ", "A:C;"));
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->field, FormulaField::Name);
    EXPECT_EQ(outcome.problem->message, "公式名称不能为空");
    const std::string taken = library.Formulas().front().name;
    outcome = model.Accept(Fields(taken, "A:C;"));
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->field, FormulaField::Name);
    FormulaEditFields longDescription = Fields("新", "A:C;");
    longDescription.description.assign(5000, 'x');
    outcome = model.Accept(longDescription);
    ASSERT_TRUE(outcome.problem);
    EXPECT_EQ(outcome.problem->field, FormulaField::Description);

    EXPECT_EQ(library.Formulas().size(), 3u);
    EXPECT_EQ(FileNow(), before);
}

TEST_F(FormulaEditorModels, OkSavesANewFormulaAndAnEditKeepsItsIdAndEveryDecimal) {
    FormulaEditModel create(library, 0);
    FormulaEditFields fields = Fields(" 我的均线 ", "短线:MA(C,N);\n长线:MA(C,N*4);");
    fields.description = "两条均线\n第二行";
    fields.parameters[1] = {"N", "2.5", "1e-7", "250.75"};
    const FormulaEditOutcome saved = create.Accept(fields);
    ASSERT_TRUE(saved.closes) << (saved.problem ? saved.problem->message : "");
    EXPECT_TRUE(saved.notice.empty());

    FormulaLibrary again(dir.Path());
    ASSERT_TRUE(again.Load().empty());
    ASSERT_NE(again.Find(saved.id), nullptr);
    const StoredFormula stored = *again.Find(saved.id);
    EXPECT_EQ(stored, (StoredFormula{saved.id,
                                     "我的均线",
                                     "两条均线\n第二行",
                                     {{"N", 2.5, 1e-7, 250.75}},
                                     "短线:MA(C,N);\n长线:MA(C,N*4);"}));

    // Opened again, the fields read back as the same formula; changing the text replaces it.
    FormulaEditModel edit(again, saved.id);
    EXPECT_EQ(edit.Caption(), "修改公式");
    FormulaEditFields shown = edit.InitialFields();
    EXPECT_EQ(shown.parameters[0].defaultValue, "2.5");
    EXPECT_EQ(shown.name, "我的均线") << "its own name is not taken";
    shown.text += "\n短线-长线;";
    const FormulaEditOutcome replaced = edit.Accept(shown);
    ASSERT_TRUE(replaced.closes);
    EXPECT_EQ(replaced.id, saved.id);
    EXPECT_EQ(again.Formulas().size(), 4u);
    EXPECT_EQ(again.Find(saved.id)->parameters, stored.parameters);
    EXPECT_EQ(again.Find(saved.id)->text, "短线:MA(C,N);\n长线:MA(C,N*4);\n短线-长线;");

    // 画在 主图 is kept with the formula and shown again at the next opening.
    EXPECT_FALSE(shown.mainChart);
    shown.mainChart = true;
    ASSERT_TRUE(edit.Accept(shown).closes);
    EXPECT_TRUE(again.Find(saved.id)->mainChart);
    EXPECT_TRUE(FormulaEditModel(again, saved.id).InitialFields().mainChart);
}

TEST_F(FormulaEditorModels, AFormulaKeptOnlyForThisRunClosesWithTheLibrarysWord) {
    FormulaEditModel model(library, 0);
    test::FailingDisk disk(test::FailingDisk::Fault::ReadOnlyDirectory);
    const FormulaEditOutcome outcome = model.Accept(Fields("新", "A:C;"));
    EXPECT_TRUE(outcome.closes);
    EXPECT_NE(outcome.notice.find("修改只保留到程序退出"), std::string::npos) << outcome.notice;
    EXPECT_NE(library.Find(outcome.id), nullptr);
}

TEST_F(FormulaEditorModels, TheListSelectsWhatEachChangeLeavesAndAsksAboutTheRightFormula) {
    FormulaEditModel(library, 0).Accept([] {
        FormulaEditFields fields = Fields("第四", "A:C;");
        fields.description = "第一行\r\n第二行";
        return fields;
    }());
    FormulaListModel list(library);
    std::vector<FormulaListRow> rows = list.Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[3].name, "第四");
    EXPECT_EQ(rows[3].description, "第一行") << "the first line of the description";
    EXPECT_EQ(list.InitialRow(), 0);
    EXPECT_TRUE(list.ButtonsFor(3).modify && list.ButtonsFor(3).remove && list.ButtonsFor(3).exportOne);
    EXPECT_FALSE(list.ButtonsFor(-1).modify || list.ButtonsFor(4).remove || list.ButtonsFor(4).exportOne);

    EXPECT_EQ(list.DeleteQuestion(3), "确实要删除公式 第四 吗？");
    const int second = list.IdAt(1);
    EXPECT_EQ(list.Delete(1).select, 1) << "the row that takes its place";
    EXPECT_EQ(library.Find(second), nullptr);
    EXPECT_EQ(list.Delete(2).select, 1) << "the last row went: the new last one";
    list.Delete(0);
    EXPECT_EQ(list.Delete(0).select, -1);
    EXPECT_EQ(list.InitialRow(), -1);
    EXPECT_FALSE(list.ButtonsFor(0).modify);
}

TEST_F(FormulaEditorModels, ExportAndImportMoveOneFormulaAndSayWhatHappened) {
    FormulaEditModel(library, 0).Accept(Fields("../a/b", "A:C;"));
    FormulaListModel list(library);
    const int row = list.RowOf(library.Formulas().back().id);
    EXPECT_EQ(list.ExportRequest(row).defaultName, "_._a_b.txt") << "a name is never a path";
    EXPECT_EQ(list.ExportRequest(row).filter, "公式文件(*.txt)|*.txt");

    const std::string path = dir.File("out.txt");
    EXPECT_EQ(list.Export(row, path).message, "公式 ../a/b 已导出到 " + path);
    EXPECT_EQ(list.Export(row, dir.File("no/such/dir/x.txt")).message,
              "无法写入 " + dir.File("no/such/dir/x.txt"));

    FormulaListOutcome refused = list.Import(path);
    EXPECT_EQ(refused.message, "已有名为 ../a/b 的公式") << "the name is taken here";
    EXPECT_EQ(refused.select, -1);

    test::TempDir other;
    FormulaLibrary elsewhere(other.Path());
    elsewhere.Load();
    FormulaListModel otherList(elsewhere);
    const FormulaListOutcome imported = otherList.Import(path);
    EXPECT_EQ(imported.message, "已导入公式 ../a/b");
    EXPECT_EQ(imported.select, 3);
    EXPECT_EQ(otherList.Rows()[3].name, "../a/b");

    ASSERT_TRUE(WriteFileAtomic(dir.File("two.txt"), FileNow()));
    EXPECT_EQ(otherList.Import(dir.File("two.txt")).message, "导入文件应含 1 个公式，实有 4 个");
}

TEST(FormulaLoadReport, ABadlyDamagedFileIsToldInAFewLinesWithTheCountOfTheRest) {
    EXPECT_EQ(FormulaListModel::LoadReport({}), "");
    EXPECT_EQ(FormulaListModel::LoadReport({"a", "b"}), "a\nb");
    std::vector<std::string> many;
    for (int i = 0; i < 2500; ++i) many.push_back("第 " + FormatInt(i) + " 行");
    const std::string report = FormulaListModel::LoadReport(many);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 10);
    EXPECT_EQ(report.substr(report.rfind('\n') + 1), "另有 2490 个问题");
}

TEST(FormulaParamModelRules, OkTakesValuesWithinTheirRangesAndNamesTheFirstRowAtFault) {
    const StoredFormula formula{1003, "均线", "", {{"N", 5, 1, 250}, {"K", 0.5, -2, 2}}, "A:MA(C,N)*K;"};
    // A value in use beyond the list: the defaults for the rest.
    const FormulaParamModel model(formula, {20});
    const std::vector<FormulaParamRow> rows = model.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].range, "1 到 250");
    EXPECT_EQ(rows[0].value, "20");
    EXPECT_EQ(rows[1].range, "-2 到 2");
    EXPECT_EQ(rows[1].value, "0.5");
    EXPECT_EQ(model.Defaults(), (std::vector<std::string>{"5", "0.5"}));

    FormulaParamOutcome ok = model.Accept({" 250 ", "-1.25"});
    EXPECT_TRUE(ok.accepted);
    EXPECT_EQ(ok.values, (std::vector<double>{250, -1.25}));

    const std::vector<std::pair<std::vector<std::string>, std::pair<int, std::string>>> refused = {
        {{"251", "0"}, {0, "N 的值必须在 1 到 250 之间"}},
        {{"5", "2.0001"}, {1, "K 的值必须在 -2 到 2 之间"}},
        {{"0.999", "9"}, {0, "N 的值必须在 1 到 250 之间"}},  // the first row at fault
        {{"5", "1e999"}, {1, "参数 K 的值 1e999 不是数字"}},  // beyond a double
        {{"5", "1,5"}, {1, "参数 K 的值 1,5 不是数字"}},      // decimals with "."
        {{"nan", "0"}, {0, "参数 N 的值 nan 不是数字"}},
        {{"  ", "0"}, {0, "请输入参数 N 的值"}},
        {{"5"}, {1, "请输入参数 K 的值"}},  // a row missing
    };
    for (const auto& [typed, fault] : refused) {
        const FormulaParamOutcome outcome = model.Accept(typed);
        EXPECT_FALSE(outcome.accepted) << typed[0];
        EXPECT_TRUE(outcome.values.empty());
        EXPECT_EQ(outcome.row, fault.first) << typed[0];
        EXPECT_EQ(outcome.message, fault.second);
    }

    const FormulaParamModel none(StoredFormula{1004, "收盘", "", {}, "C;"}, {});
    EXPECT_FALSE(none.HasParameters());
    EXPECT_TRUE(none.Accept({}).accepted);
}

}  // namespace
}  // namespace qelt
