// formula.txt: examples for a new file, round trips, ids never given twice, damaged sections
// reported and kept, an unreadable file never written over, import and export.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "FormulaTestSupport.h"
#include "common/Files.h"
#include "formula/FormulaLibrary.h"
#include "indicators/IndicatorTable.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

StoredFormula Sample(const std::string& name, const std::string& text = "A:C;") {
    return StoredFormula{0, name, "", {}, text};
}

std::string Read(const std::string& path) { return ReadWholeFile(path).value_or("<unreadable>"); }

TEST(FormulaLibrary, ANewFileStartsWithExamplesThatRunAndEveryFormulaComesBackAsItWasSaved) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    EXPECT_TRUE(library.Load().empty());
    ASSERT_EQ(library.Formulas().size(), 3u);
    EXPECT_TRUE(FileExists(dir.File("formula.txt")));
    const BarSeries bars = test::CloseBars({10, 11, 12, 11, 13, 14, 12, 15, 16, 14, 13, 12});
    for (const StoredFormula& example : library.Formulas()) {
        FormulaCompileResult compiled = CompileFormula(example.text, example.parameters);
        ASSERT_TRUE(compiled.formula) << example.name << ": " << compiled.error.Describe();
        FormulaRun run;
        EXPECT_TRUE(run.Run(*compiled.formula, bars, {2, 3, 2}));
        for (const IndicatorDefinition& builtIn : IndicatorDefinitions())
            EXPECT_NE(example.name, builtIn.key) << "an example is not a copy of a built-in indicator";
    }

    // What goes in comes out: lines of text and description, decimals, CJK names.
    StoredFormula mine{0,
                       "我的 均线",
                       "第一行\n第二行",
                       {{"N", 2.5, 0.5, 10}, {"周期", 20, 1, 250}},
                       "短线:MA(C,N);\n\n  长线:MA(C,周期); // 注释 = 1\n"};
    const FormulaChange added = library.Add(mine);
    ASSERT_TRUE(added.applied && added.saved) << added.message;
    EXPECT_EQ(added.id, 1003);
    mine.text += "短线-长线;";
    ASSERT_TRUE(library.Replace(1003, mine).saved);
    ASSERT_TRUE(library.Remove(1001).saved);

    FormulaLibrary again(dir.Path());
    EXPECT_TRUE(again.Load().empty());
    EXPECT_EQ(again.Formulas(), library.Formulas());
    ASSERT_NE(again.Find(1003), nullptr);
    mine.id = 1003;
    EXPECT_EQ(*again.Find(1003), mine);
    EXPECT_EQ(again.Find(1001), nullptr);
}

TEST(FormulaLibrary, AnIdIsNeverGivenTwiceEvenAfterItsFormulaIsDeleted) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    EXPECT_EQ(library.Add(Sample("甲")).id, 1003);
    EXPECT_EQ(library.Add(Sample("乙")).id, 1004);
    ASSERT_TRUE(library.Remove(1004).saved);
    FormulaLibrary reloaded(dir.Path());
    reloaded.Load();
    EXPECT_EQ(reloaded.Add(Sample("丙")).id, 1005) << "next_id is kept in the file";
    // Removing every formula keeps it too.
    for (int id : {1000, 1001, 1002, 1003, 1005}) ASSERT_TRUE(reloaded.Remove(id).saved);
    FormulaLibrary empty(dir.Path());
    EXPECT_TRUE(empty.Load().empty());
    EXPECT_TRUE(empty.Formulas().empty()) << "an existing empty file is not filled with examples again";
    EXPECT_EQ(empty.Add(Sample("丁")).id, 1006);
}

TEST(FormulaLibrary, ADamagedSectionIsReportedLeftOutAndWrittenBackForTheUserToMend) {
    test::TempDir dir;
    const std::string damaged =
        "[1200]\nname=颜色\ncolour=red\ntext=A:C\n"   // line 10; line 12 has an unknown key
        "[1201]\nname=参数\nparam=N,5,1\ntext=A:C\n"  // line 14; line 16 has three numbers
        "[abc]\nname=编号\ntext=A:C\n"                // line 18
        "[5000]\nname=无文\n"                         // line 21: no text
        "[1100]\nname=重号\ntext=A:C\n"               // line 23: 1100 is taken
        "[1300]\nname=好的\ntext=B:O\n";              // line 26: the name is taken
    ASSERT_TRUE(WriteFileAtomic(dir.File("formula.txt"),
                                "next_id=x\nstray line\n\n"
                                "[1100]\nname=好的\nparam=N,5,1,10\ntext=A:MA(C,N);\ntext=B:FOO;\n\n" +
                                    damaged));
    FormulaLibrary library(dir.Path());
    const std::vector<std::string> problems = library.Load();
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "第 1 行的公式已损坏，未载入: next_id x 无效",
                            "第 2 行的公式已损坏，未载入: 行不属于任何公式",
                            "第 12 行的公式已损坏，未载入: 未知的项 colour",
                            "第 16 行的公式已损坏，未载入: 参数 N,5,1 写法不对",
                            "第 18 行的公式已损坏，未载入: 编号 [abc] 无效",
                            "第 21 行的公式已损坏，未载入: 缺少项 text",
                            "第 23 行的公式已损坏，未载入: 编号 1100 重复",
                            "第 26 行的公式已损坏，未载入: 已有名为 好的 的公式",
                            "公式 好的 有错误: 2:3: 未知的名称 FOO",
                        }));
    // The sound section is loaded, its fault left for the editor to show.
    ASSERT_EQ(library.Formulas().size(), 1u);
    EXPECT_EQ(library.Formulas()[0].text, "A:MA(C,N);\nB:FOO;");
    // The damaged sections' ids stay taken, and a rewrite puts the sections back as they were.
    const FormulaChange added = library.Add(Sample("新的"));
    ASSERT_TRUE(added.saved);
    EXPECT_EQ(added.id, 5001);
    const std::string file = Read(dir.File("formula.txt"));
    EXPECT_NE(file.find(damaged.substr(0, damaged.find("[1201]"))), std::string::npos);
    EXPECT_NE(file.find("[1300]\nname=好的\ntext=B:O\n"), std::string::npos);
    EXPECT_NE(file.find("\nnext_id=x\nstray line\n"), std::string::npos) << "lines outside the sections too";
    ASSERT_TRUE(library.Remove(5001).saved);
    std::string rewritten = Read(dir.File("formula.txt"));
    // Reading and rewriting again changes nothing but next_id: no blank lines pile up.
    FormulaLibrary again(dir.Path());
    EXPECT_EQ(again.Load().size(), problems.size()) << "the same damaged sections and stray lines";
    ASSERT_TRUE(again.Remove(again.Add(Sample("新的")).id).saved);
    rewritten.replace(rewritten.find("next_id=5002"), 12, "next_id=5003");
    EXPECT_EQ(Read(dir.File("formula.txt")), rewritten);
}

TEST(FormulaLibrary, AByteOrderMarkIsNothingAndNoSectionTakesAnotherOnesLines) {
    test::TempDir dir;
    const std::string mark = "\xEF\xBB\xBF";
    // Saved by an editor that marks UTF-8: next_id holds, the first section is read.
    ASSERT_TRUE(
        WriteFileAtomic(dir.File("formula.txt"), mark + "next_id=1050\n\n[1000]\nname=甲\ntext=A:C;\n"));
    FormulaLibrary library(dir.Path());
    EXPECT_TRUE(library.Load().empty());
    ASSERT_EQ(library.Formulas().size(), 1u);
    EXPECT_EQ(library.Add(Sample("乙")).id, 1050) << "ids of deleted formulas are not given again";
    ASSERT_TRUE(WriteFileAtomic(dir.File("formula.txt"), mark + "[1000]\nname=甲\ntext=A:C;\n"));
    EXPECT_TRUE(library.Load().empty());
    ASSERT_EQ(library.Formulas().size(), 1u);
    EXPECT_EQ(library.Formulas()[0].name, "甲");
    ASSERT_TRUE(library.Add(Sample("乙")).saved);
    FormulaLibrary reloaded(dir.Path());
    EXPECT_TRUE(reloaded.Load().empty());
    EXPECT_EQ(reloaded.Formulas().size(), 2u) << "the rewrite kept the first section";

    // A damaged section before sound ones: its description and text lines, read before the
    // fault, are its own; the next section starts afresh.
    ASSERT_TRUE(WriteFileAtomic(dir.File("formula.txt"),
                                "[1000]\nname=坏的\ndescription=旧说明\ntext=A:C;\ncolour=red\ntext=B:O;\n"
                                "[1001]\nname=好的\ndescription=说明\ntext=X:H;\n"
                                "[1002]\nname=坏二\nname=重名\ndescription=某\ntext=Y:L;\n"
                                "[1003]\nname=好二\ntext=Z:O;\n"));
    FormulaLibrary mixed(dir.Path());
    EXPECT_EQ(mixed.Load().size(), 2u);
    ASSERT_EQ(mixed.Formulas().size(), 2u);
    EXPECT_EQ(mixed.Formulas()[0].description, "说明");
    EXPECT_EQ(mixed.Formulas()[0].text, "X:H;");
    EXPECT_EQ(mixed.Formulas()[1].description, "");
    EXPECT_EQ(mixed.Formulas()[1].text, "Z:O;");
}

TEST(FormulaLibrary, AFileThatCannotBeReadIsNeverWrittenOver) {
    test::TempDir dir;
    const std::string path = dir.File("formula.txt");
    // Larger than 1 MB.
    const std::string large = "# " + std::string(kMaxFormulaFileBytes, 'x') + "\n";
    ASSERT_TRUE(WriteFileAtomic(path, large));
    FormulaLibrary library(dir.Path());
    EXPECT_EQ(library.Load(), (std::vector<std::string>{
                                  path + " 超过 1048576 字节，无法读取",
                                  path + " 读取失败，本次运行不会改写它，修改只保留到程序退出",
                              }));
    EXPECT_FALSE(library.Writable());
    const FormulaChange change = library.Add(Sample("甲"));
    EXPECT_TRUE(change.applied);
    EXPECT_FALSE(change.saved);
    EXPECT_NE(library.Find(change.id), nullptr) << "kept in memory";
    EXPECT_EQ(Read(path), large);

    // A directory in the file's place cannot be read either.
    test::TempDir other;
    std::filesystem::create_directory(other.File("formula.txt"));
    FormulaLibrary blocked(other.Path());
    EXPECT_EQ(blocked.Load().front(), "无法读取 " + other.File("formula.txt"));
    EXPECT_FALSE(blocked.Writable());
}

TEST(FormulaLibrary, AChangeThatCannotBeSavedStaysInMemoryAndGoesWithTheNextSave) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const std::string before = Read(dir.File("formula.txt"));
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 10);
        const FormulaChange change = library.Add(Sample("甲"));
        EXPECT_TRUE(change.applied);
        EXPECT_FALSE(change.saved);
        EXPECT_EQ(change.message, "无法写入 " + library.Path() + "，修改只保留到程序退出");
        EXPECT_EQ(Read(dir.File("formula.txt")), before);
    }
    ASSERT_TRUE(library.Add(Sample("乙")).saved);
    FormulaLibrary reloaded(dir.Path());
    reloaded.Load();
    EXPECT_EQ(reloaded.Formulas().size(), 5u) << "both new formulas";
}

TEST(FormulaLibrary, ChangesAreCheckedBeforeTheyAreMade) {
    test::TempDir dir;
    FormulaLibrary library(dir.Path());
    library.Load();
    const struct {
        StoredFormula formula;
        std::string problem;
    } cases[] = {
        {Sample(""), "公式名称不能为空"},
        {Sample(" 甲"), "公式名称  甲 不合规则"},
        // An invisible character by its code point; a long name shortened.
        {Sample("甲\n乙"), "公式名称 甲U+000A乙 不合规则"},
        {Sample(std::string(33, 'x')), "公式名称 " + std::string(32, 'x') + "… 不合规则"},
        {Sample("量比"), "已有名为 量比 的公式"},
        {Sample("甲", "A:FOO"), "1:3: 未知的名称 FOO"},
        {StoredFormula{0, "甲", std::string(4097, 'x'), {}, "A:C"}, "公式说明超过 4096 字节"},
        {StoredFormula{0, "甲", "", {{"N", 0, 1, 10}}, "A:C"}, "参数 N 的缺省值不在 1 到 10 之间"},
    };
    for (const auto& c : cases) {
        const FormulaChange change = library.Add(c.formula);
        EXPECT_FALSE(change.applied) << c.problem;
        EXPECT_EQ(change.message, c.problem);
    }
    EXPECT_EQ(library.Formulas().size(), 3u);
    EXPECT_EQ(library.Replace(999, Sample("甲")).message, "没有这个公式");
    EXPECT_EQ(library.Remove(999).message, "没有这个公式");
    EXPECT_TRUE(library.Replace(1002, Sample("量比", "RATIO:VOL;")).saved) << "a formula keeps its own name";
    EXPECT_EQ(library.Add(Sample("LiangBi")).id, 1003);
    EXPECT_EQ(library.Add(Sample("liangbi")).message, "已有名为 liangbi 的公式") << "names without case";

    // The file may not outgrow what is read back at the next start.
    std::string text = "A:C;";
    text.resize(60000, ' ');
    int added = 0;
    FormulaChange change;
    while ((change = library.Add(Sample("大" + std::to_string(added), text))).applied) ++added;
    EXPECT_EQ(added, 17);
    EXPECT_EQ(change.message, "公式文件将超过 1048576 字节，未作修改");
    EXPECT_LE(Read(library.Path()).size(), kMaxFormulaFileBytes);
}

TEST(FormulaLibrary, ImportAndExportMoveOneFormula) {
    test::TempDir dir, other;
    FormulaLibrary library(dir.Path());
    library.Load();
    const std::string exported = dir.File("export.txt");
    EXPECT_EQ(library.Export(1001, exported), std::nullopt);
    EXPECT_EQ(library.Export(999, exported).value_or(""), "没有这个公式");

    FormulaLibrary receiver(other.Path());
    receiver.Load();
    ASSERT_TRUE(receiver.Remove(1001).saved);
    const FormulaChange imported = receiver.Import(exported);
    ASSERT_TRUE(imported.saved) << imported.message;
    EXPECT_EQ(imported.id, 1003) << "a new id in the receiving file";
    StoredFormula expected = *library.Find(1001);
    expected.id = 1003;
    EXPECT_EQ(*receiver.Find(1003), expected);
    EXPECT_EQ(receiver.Import(exported).message, "已有名为 通道突破 的公式");

    ASSERT_TRUE(
        WriteFileAtomic(other.File("two.txt"), "[1]\nname=甲\ntext=A:C\n[2000]\nname=乙\ntext=A:C\n"));
    EXPECT_EQ(receiver.Import(other.File("two.txt")).message, "导入文件应含 1 个公式，实有 2 个");
    ASSERT_TRUE(WriteFileAtomic(other.File("bad.txt"), "[2000]\nname=乙\n"));
    EXPECT_EQ(receiver.Import(other.File("bad.txt")).message, "第 1 行的公式已损坏，未载入: 缺少项 text");
    EXPECT_EQ(receiver.Import(other.File("none.txt")).message, "无法读取 " + other.File("none.txt"));
    EXPECT_EQ(receiver.Formulas().size(), 3u);
}

TEST(FormulaLibrary, TheChartAFormulaIsDrawnOnIsKeptAndFilesWithoutItStillRead) {
    test::TempDir dir;
    // A file of the first edition: no place lines, read as 副图 and rewritten without them.
    const std::string firstEdition =
        "next_id=1002\n\n[1000]\nname=甲\nparam=N,5,1,10\ntext=A:MA(C,N);\n\n"
        "[1001]\nname=乙\ntext=B:O;\n";
    ASSERT_TRUE(WriteFileAtomic(dir.File("formula.txt"), firstEdition));
    FormulaLibrary library(dir.Path());
    EXPECT_TRUE(library.Load().empty());
    ASSERT_EQ(library.Formulas().size(), 2u);
    EXPECT_FALSE(library.Formulas()[0].mainChart);
    EXPECT_FALSE(library.Formulas()[1].mainChart);

    StoredFormula over = Sample("主图线", "A:MA(C,20);");
    over.mainChart = true;
    const FormulaChange added = library.Add(over);
    ASSERT_TRUE(added.saved) << added.message;
    const std::string file = Read(library.Path());
    EXPECT_NE(file.find("[1000]\nname=甲\nparam=N,5,1,10\ntext=A:MA(C,N);\n\n[1001]\nname=乙\ntext=B:O;\n"),
              std::string::npos)
        << "副图 formulas are written as before\n"
        << file;
    EXPECT_NE(file.find("[1002]\nname=主图线\nplace=main\ntext=A:MA(C,20);\n"), std::string::npos) << file;

    FormulaLibrary reloaded(dir.Path());
    EXPECT_TRUE(reloaded.Load().empty());
    EXPECT_EQ(reloaded.Formulas(), library.Formulas());
    ASSERT_NE(reloaded.Find(1002), nullptr);
    EXPECT_TRUE(reloaded.Find(1002)->mainChart);
    over.mainChart = false;
    ASSERT_TRUE(reloaded.Replace(1002, over).saved) << "back to 副图";
    EXPECT_EQ(Read(reloaded.Path()).find("\nplace="), std::string::npos);

    // "sub" may be written by hand; anything else, or place twice, damages the section.
    const formula::FormulaFileContent parsed = formula::ParseFormulaFile(
        "[1000]\nname=甲\nplace=sub\ntext=A:C;\n"
        "[1001]\nname=乙\nplace=Main\ntext=A:C;\n"
        "[1002]\nname=丙\nplace=\ntext=A:C;\n"
        "[1003]\nname=丁\nplace=main\nplace=main\ntext=A:C;\n"
        "[1004]\ntext=A:C;\nplace=main\nname=戊\n");
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[0].name, "甲");
    EXPECT_FALSE(parsed.entries[0].mainChart);
    EXPECT_EQ(parsed.entries[1].name, "戊");
    EXPECT_TRUE(parsed.entries[1].mainChart) << "in any place of the section";
    EXPECT_EQ(parsed.problems, (std::vector<std::string>{
                                   "第 7 行的公式已损坏，未载入: place=Main 无效，应为 main 或 sub",
                                   "第 11 行的公式已损坏，未载入: place= 无效，应为 main 或 sub",
                                   "第 16 行的公式已损坏，未载入: 项 place 重复",
                               }));

    // Export and import carry the choice.
    over.mainChart = true;
    ASSERT_TRUE(reloaded.Replace(1002, over).saved);
    ASSERT_EQ(reloaded.Export(1002, dir.File("main.txt")), std::nullopt);
    test::TempDir other;
    FormulaLibrary receiver(other.Path());
    receiver.Load();
    const FormulaChange imported = receiver.Import(dir.File("main.txt"));
    ASSERT_TRUE(imported.saved) << imported.message;
    EXPECT_TRUE(receiver.Find(imported.id)->mainChart);
}

}  // namespace
}  // namespace qelt
