// qelt-ta run as a program on small bar files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "common/Files.h"
#include "common/Version.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

struct TaRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

TaRun RunTa(const std::string& arguments) {
    const std::string command = std::string("'") + QELT_TA_PATH + "' " + arguments + " 2>&1";
    TaRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

constexpr const char* kHeader =
    "date,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,null_num,due_date\n";

class QeltTa : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        EXPECT_TRUE(WriteFileAtomic(m_dir.File(name), text));
        return "'" + m_dir.File(name) + "'";
    }
    test::TempDir m_dir;
};

TEST_F(QeltTa, PrintsNamedLinesWithEmptyFieldsWhereALineHasNoValue) {
    std::string bars = kHeader;
    const char* rows[] = {
        "20060102,10,11,12,9,100,10.5,5,50,200606", "20060103,11,12,13,10,200,11.5,6,60,200606",
        "20060104,12,11,13,10,300,11.5,7,70,200606", "20060105,11,13,14,11,400,12,8,80,200606",
        "20060106,13,12,14,11,1234567,12.5,9,90,200606"};
    for (const char* row : rows) bars += std::string(row) + "\r\n";
    const std::string file = Write("bars.csv", bars);
    TaRun run = RunTa("--bars " + file + " --indicator 1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,VOLUME,MA5,MA10\n0,100,,\n1,200,,\n2,300,,\n3,400,,\n4,1.23457e+06,247113,\n");

    run = RunTa("--bars=" + file + " --indicator 26 --visible 2 --last 3");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "bar,CDP,AH,AL,NH,NL\n2,11.3333,14.3333,8.33333,12.6667,9.66667\n"
              "3,12.6667,15.6667,9.66667,14.3333,11.3333\n");
}

TEST_F(QeltTa, ValuesThatAreNotFiniteAndRefusedParametersLeaveFieldsEmpty) {
    const std::string file = Write("zero.csv",
                                   "20060102,10,10,10,10,100,10,0,0,\n20060103,10,0,10,0,100,5,0,0,\n"
                                   "20060104,0,5,5,0,100,2,0,0,\n20060105,5,6,6,5,100,5,0,0,\n");
    TaRun run = RunTa("--bars " + file + " --indicator 5");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,PVT,MAPVT\n0,0,\n1,-100,\n") << "no inf or nan fields, no rows of nothing";

    ASSERT_TRUE(WriteFileAtomic(m_dir.File("indi.ini"), "12,26,9,6,0,24"));
    run = RunTa("--bars " + file + " --indicator 41 --home '" + m_dir.Path() + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,RSI1,RSI2,RSI3\n") << "a period of 0 is refused: the header only";
}

TEST_F(QeltTa, AggregatesPeriodsAndPrintsMovingAveragesAndPointAndFigureColumns) {
    const std::string file = Write("days.csv", std::string(kHeader) +
                                                   "20060529,10,11,12,9,100,10.5,1,2,200606\n"
                                                   "20060530,11,13,13.5,10.5,50,12,1,2,200606\n"
                                                   "20060602,13,12,12.5,8.5,25,12.5,1,2,200606\n"
                                                   "20060605,12,7,12,7,7,9,1,2,200606\n");
    TaRun run = RunTa("--bars " + file + " --period week");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, std::string(kHeader) +
                              "20060602,10,12,13.5,8.5,175,12.5,1,2,200606\n"
                              "20060605,12,7,12,7,7,9,1,2,200606\n");

    run = RunTa("--bars " + file + " --ma");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,MA5,MA10,MA20,MA30,MA60\n") << "five periods all longer than four bars";

    // Box 0.01 (raw silk 100 / 10000), reversal 1: closes at levels 1100, 1300, 1200 (a turn: the
    // falling column opens at the centre of level 1299), 700.
    ASSERT_TRUE(
        WriteFileAtomic(m_dir.File("indi.ini"),
                        "12,26,9,6,12,24,14,12,6,26,6,10,9,3,3,14,9,5,5,10,20,14,6,10,6,20,5,10,20,30,60,6,"
                        "4,2,2,20,23,8,5,13,34,60,3,6,12,24,12,50,0,100,0,1"));
    run = RunTa("--bars " + file + " --ox --home '" + m_dir.Path() + "'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "column,open_price,close_price,highest_price,lowest_price,num,count\n"
              "0,10,13.01,13.5,9,150,301\n"
              "1,12.99,7.01,12.5,7,32,-600\n");
}

TEST_F(QeltTa, ErrorsAreOneLineOnStandardErrorWithStatusTwo) {
    const std::string file = Write("bad.csv", std::string(kHeader) +
                                                  "20060102,10,11,12,9,100,10.5,5,50,200606\n"
                                                  "\n20060103,10,x,12,9,100,10.5,5,50,200606\n");
    const struct {
        std::string arguments, expected;
    } cases[] = {
        {"--bars " + file + " --indicator 1",
         "qelt-ta: " + m_dir.File("bad.csv") +
             ": line 4: malformed row: close_price \"x\" is not a number\n"},
        {"--bars '" + m_dir.File("missing.csv") + "' --ma",
         "qelt-ta: cannot read " + m_dir.File("missing.csv") + "\n"},
        {"--bars " + file + " --indicator 6", "qelt-ta: unknown indicator code \"6\"\n"},
        {"--bars " + file,
         "qelt-ta: give --indicator CODE, --ma, --ox, --formula TEXTFILE or --period (see --help)\n"},
        {"--bars " + file + " --ma --ox",
         "qelt-ta: give only one of --indicator, --ma, --ox and --formula\n"},
        {"--indicator 1 --visible 0", "qelt-ta: --visible needs a count of at least 1\n"},
        {"--bars", "qelt-ta: --bars needs a value\n"},
    };
    for (const auto& c : cases) {
        TaRun run = RunTa(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_EQ(run.output, c.expected) << c.arguments;
    }
    TaRun help = RunTa("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output.rfind("usage: qelt-ta --bars FILE", 0), 0u);
    // As every program of the package: the version, with status 0, whatever else is given.
    for (const char* version : {"--version", "-v", "--bars x --version"}) {
        TaRun run = RunTa(version);
        EXPECT_EQ(run.status, 0) << version;
        EXPECT_EQ(run.output, "qelt-ta " QELT_VERSION_TEXT "\n") << version;
    }
}

TEST_F(QeltTa, ComputesAFormulaOverTheWholeSeries) {
    std::string bars = kHeader;
    for (const char* row :
         {"20060102,10,10,11,9,100,10,5,50,200606", "20060103,10,11,12,10,200,11,6,60,200606",
          "20060104,11,12,13,11,300,12,7,70,200606", "20060105,12,11,12,10,400,11,8,80,200606",
          "20060106,11,13,14,11,500,12,9,90,200606"})
        bars += std::string(row) + "\n";
    const std::string file = Write("bars.csv", bars);
    // Outputs under their statements' spelling or OUTk; "%.10g"; an empty field where an
    // output has no value and no row where none has one (bar 0: REF(C,1) and C>11 fail).
    const std::string formula =
        Write("f.txt", "\xEF\xBB\xBF短线:REF(C,N);\r\nSLOW:=MA(C,3);\nIF(C>11,C/3,1/0);\nslow*1e20");
    TaRun run = RunTa("--bars " + file + " --formula " + formula + " --param N=1");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "bar,短线,OUT1,OUT2\n"
              "1,10,,\n"
              "2,11,4,1.1e+21\n"
              "3,12,,1.133333333e+21\n"
              "4,11,4.333333333,1.2e+21\n");
    // Week bars first: the five days fall into one week.
    run = RunTa("--bars " + file + " --formula=" + formula + " --param=N=0 --period week");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,短线,OUT1,OUT2\n0,13,4.333333333,\n");
}

TEST_F(QeltTa, PrintsTheMarksOfAFormulasDrawingStatementsWithDrawings) {
    std::string bars = kHeader;
    for (const char* row :
         {"20060102,10,11,12,9,100,10,5,50,200606", "20060103,11,10,12,10,200,11,6,60,200606",
          "20060104,10,12,13,10,300,12,7,70,200606", "20060105,12,12,12,11,400,11,8,80,200606",
          "20060106,12,14,15,11,500,12,9,90,200606"})
        bars += std::string(row) + "\n";
    const std::string file = Write("bars.csv", bars);
    const std::string formula = Write("f.txt",
                                      "STICKLINE(C>O,O,C,8,1),COLORRED;\n"
                                      "DRAWTEXT(C<O,H,'跌, \"x\"');\n"
                                      "DRAWNUMBER(C>=O,L,(C-O)/3);\n"
                                      "DRAWICON(CROSS(C,REF(C,1)),L,2);\n"
                                      "POLYLINE(C>REF(C,1),C/3);\n"
                                      "A:C;");
    // Bar order, then statement order; p2 STICKLINE's only; the text quoted where it holds a
    // comma or a double quote, its quotes doubled.
    TaRun run = RunTa("--bars " + file + " --formula " + formula + " --drawings");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "bar,kind,p1,p2,text\n"
              "0,stickline,10,11,\n"
              "0,drawnumber,9,,0.33\n"
              "1,drawtext,12,,\"跌, \"\"x\"\"\"\n"
              "2,stickline,10,12,\n"
              "2,drawnumber,10,,0.67\n"
              "2,drawicon,10,,2\n"
              "2,polyline,4,,\n"
              "3,drawnumber,11,,0.00\n"
              "4,stickline,12,14,\n"
              "4,drawnumber,11,,0.67\n"
              "4,drawicon,11,,2\n"
              "4,polyline,4.666666667,,\n");
    // Without --drawings the outputs only; a formula of drawings only has none to show.
    run = RunTa("--bars " + file + " --formula " + formula);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,A\n0,11\n1,10\n2,12\n3,12\n4,14\n");
    const std::string only = Write("only.txt", "DRAWTEXT(1,C,'plain text');");
    run = RunTa("--bars " + file + " --formula " + only);
    EXPECT_EQ(run.output, "bar\n");
    run = RunTa("--bars " + file + " --formula " + only + " --drawings --period week");
    EXPECT_EQ(run.output, "bar,kind,p1,p2,text\n0,drawtext,14,,plain text\n");
    run = RunTa("--bars " + file + " --drawings --ma");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, "qelt-ta: --drawings needs --formula (without --screen or --system)\n");
    const std::string bad = Write("bad.txt", "A:C;\nDRAWICON(C>O,L,5);");
    run = RunTa("--bars " + file + " --formula " + bad + " --drawings");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output, m_dir.File("bad.txt") + ":2:16: K 必须在 1 到 4 之间\n");
}

TEST_F(QeltTa, AFormulaErrorNamesTheFileLineAndColumn) {
    const std::string file =
        Write("bars.csv", std::string(kHeader) + "20060102,10,10,11,9,100,10,5,50,200606\n");
    const std::string good = Write("good.txt", "A:MA(C,N-2);");
    const std::string bad = Write("bad.txt", "A:C;\n长线:MAA(C,5);");
    std::string text = "A:C;";
    text.resize(std::size_t{2} << 20, ' ');
    const std::string huge = Write("huge.txt", text);
    const std::string large = Write("large.txt", "A:C;\n" + std::string(70000, ' '));
    const std::string path = m_dir.File("");
    const struct {
        std::string arguments, expected;
    } cases[] = {
        {"--bars " + file + " --formula " + bad, path + "bad.txt:2:4: 未知的函数 MAA\n"},
        {"--bars " + file + " --formula " + good + " --param N=2",
         path + "good.txt:1:8: N 必须在 1 到 1000000 之间\n"},
        {"--bars " + file + " --formula " + good, path + "good.txt:1:8: 未知的名称 N\n"},
        {"--bars " + file + " --formula " + good + " --param C=2", "qelt-ta: --param C: 参数名 C 是数据名\n"},
        {"--bars " + file + " --formula " + good + " --param N=1 --param n=2",
         "qelt-ta: --param n: 参数 n 重复定义\n"},
        {"--bars " + file + " --formula " + good + " --param N", "qelt-ta: --param needs NAME=VALUE\n"},
        {"--bars " + file + " --formula " + good + " --param N=x",
         "qelt-ta: --param N=x: the value is not a number\n"},
        {"--bars " + file + " --ma --param N=1", "qelt-ta: --param needs --formula\n"},
        {"--bars " + file + " --formula " + good + " --ma",
         "qelt-ta: give only one of --indicator, --ma, --ox and --formula\n"},
        {"--bars " + file + " --formula " + good + " --last 3",
         "qelt-ta: --last and --visible do not apply to --formula\n"},
        {"--bars " + file + " --formula '" + path + "none.txt'",
         "qelt-ta: cannot read " + path + "none.txt\n"},
        // A text beyond the limit, however large the file, is refused at its place.
        {"--bars " + file + " --formula " + huge, path + "huge.txt:1:65537: 公式文本超过 65536 字节\n"},
        {"--bars " + file + " --formula " + large, path + "large.txt:2:65532: 公式文本超过 65536 字节\n"},
    };
    for (const auto& c : cases) {
        TaRun run = RunTa(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_EQ(run.output, c.expected) << c.arguments;
    }
}

}  // namespace
}  // namespace qelt
