// qelt-ta's screening, system test, summary and optimisation against hand-computed cases,
// and the faults of their options (one line, status 2).
#include <gtest/gtest.h>

#include "common/Files.h"
#include "support/TempDir.h"
#include "tools/TaRun.h"

namespace qelt {
namespace {

struct TaOutcome {
    int status = -1;
    std::string out, error;
};

class QeltTaAnalysis : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        EXPECT_TRUE(WriteFileAtomic(m_dir.File(name), text));
        return m_dir.File(name);
    }
    TaOutcome RunTa(std::vector<std::string> args) {
        TaOutcome outcome;
        outcome.status = ta::RunQeltTa(args, outcome.out, outcome.error);
        return outcome;
    }
    /// A fault: status 2, nothing on standard output, one line naming `words`.
    void ExpectFault(const std::vector<std::string>& args, const std::string& words) {
        const TaOutcome outcome = RunTa(args);
        EXPECT_EQ(outcome.status, 2) << outcome.out;
        EXPECT_TRUE(outcome.out.empty());
        EXPECT_EQ(outcome.error.find('\n'), std::string::npos) << outcome.error;
        EXPECT_NE(outcome.error.find(words), std::string::npos) << outcome.error;
    }

    test::TempDir m_dir;
    // Opens and closes (10,11) (11,12) (12,11) (11,13) (13,12), Monday to Friday.
    const std::string m_a =
        Write("a.csv",
              "date,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,"
              "null_num,due_date\n"
              "20060102,10,11,12,9,100,10.5,5,50,200606\n"
              "20060103,11,12,13,10,200,11.5,6,60,200606\n"
              "20060104,12,11,13,10,300,11.5,7,70,200606\n"
              "20060105,11,13,14,11,400,12,8,80,200606\n"
              "20060106,13,12,14,11,500,12.5,9,90,200606\n");
    const std::string m_b = Write("b.csv",
                                  "20060103,20,21,21,20,100,20,1,1,200606\n"
                                  "20060104,21,25,25,21,100,23,1,1,200606\n"
                                  "20060105,25,24,25,24,100,24,1,1,200606\n"
                                  "20060106,24,26,26,24,100,25,1,1,200606\n");
    // Closes up, up, down, down, up, up, down after the first: a reversal system's playground.
    const std::string m_system = Write("system.csv",
                                       "20060102,10,10,10,10,1,10,0,0,200606\n"
                                       "20060103,10,11,11,10,1,10,0,0,200606\n"
                                       "20060104,11.5,12,12,11.5,1,10,0,0,200606\n"
                                       "20060105,12,11,12,11,1,10,0,0,200606\n"
                                       "20060106,10.5,10,10.5,10,1,10,0,0,200606\n"
                                       "20060109,10,12,12,10,1,10,0,0,200606\n"
                                       "20060110,12.5,13,13,12.5,1,10,0,0,200606\n"
                                       "20060111,13,12.5,13,12.5,1,10,0,0,200606\n");
    const std::string m_reversal = Write("reversal.txt", "ENTERLONG:C>REF(C,1);\nENTERSHORT:C<REF(C,1);\n");
};

TEST_F(QeltTaAnalysis, ScreenPrintsTheSelectedFilesInTheirOrderAtTheDate) {
    const std::string up = Write("up.txt", "UP:C>REF(C,1); D:C-REF(C,1); Q:1/(C-12);");
    TaOutcome outcome = RunTa({"--formula", up, "--screen", m_a, m_b});
    ASSERT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(outcome.out, "file,date,UP,D,Q\n" + m_b + ",20060106,1,2,0.07142857143\n");
    // At 20060103 the first file rose into a close of 12 (Q has no value); the second has
    // only its first bar, where REF has none.
    outcome = RunTa({"--formula", up, "--screen", m_b, m_a, "--at", "20060103"});
    ASSERT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(outcome.out, "file,date,UP,D,Q\n" + m_a + ",20060103,1,1,\n");
    // Before the second file's first bar it is passed over.
    outcome = RunTa({"--formula", up, "--at=20060105", "--screen", m_b, m_a});
    EXPECT_EQ(outcome.out, "file,date,UP,D,Q\n" + m_a + ",20060105,1,2,1\n");
    outcome = RunTa({"--formula", up, "--screen", m_b, "--at", "20060102"});
    EXPECT_EQ(outcome.out, "file,date,UP,D,Q\n");
    // A week that ends at the date: Monday's open, the high up to Wednesday.
    const std::string week = Write("week.txt", "X:C>O; HI:H; NUM:V;");
    outcome = RunTa({"--formula", week, "--screen", m_a, "--period", "week", "--at", "20060104"});
    EXPECT_EQ(outcome.out, "file,date,X,HI,NUM\n" + m_a + ",20060104,1,13,600\n");
    outcome = RunTa({"--formula", Write("n.txt", "C>N;"), "--screen", m_a, m_b, "--param", "N=20"});
    EXPECT_EQ(outcome.out, "file,date,OUT1\n" + m_b + ",20060106,1\n");
}

TEST_F(QeltTaAnalysis, SystemPrintsEveryTradeWithTheOpenOneLast) {
    const TaOutcome outcome = RunTa({"--bars", m_system, "--formula", m_reversal, "--system"});
    ASSERT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(outcome.out,
              "entry_bar,entry_date,side,entry_price,exit_bar,exit_date,exit_price,profit\n"
              "2,20060104,long,11.5,4,20060106,10.5,-1\n"
              "4,20060106,short,10.5,6,20060110,12.5,-2\n"
              "6,20060110,long,12.5,,,,0\n");
}

TEST_F(QeltTaAnalysis, SummaryPrintsEveryKeyWithTheCostsTaken) {
    // 20 units a trade; each buy 0.5 above the open, each sell 0.5 below, 1% a fill.
    const TaOutcome outcome =
        RunTa({"--bars", m_system, "--formula", m_reversal, "--system", "--summary", "--lots", "2",
               "--multiplier=10", "--commission", "0.01", "--slippage", "0.5"});
    ASSERT_EQ(outcome.status, 0) << outcome.error;
    // Long 12 -> 10: -40 - 2.4 - 2; short 10 -> 13: -60 - 2 - 2.6; long 13 marked at 12.5:
    // -10 - 2.6. The equity never rises above the capital and ends 121.6 below it.
    EXPECT_EQ(outcome.out,
              "trades,2\nwins,0\nwin_rate,0\nnet_profit,-121.6\ngross_profit,0\ngross_loss,-109\n"
              "profit_factor,0\naverage_trade,-54.5\nlargest_win,-44.4\nlargest_loss,-64.6\n"
              "max_drawdown,121.6\nmax_drawdown_pct,0.1216\nreturn_pct,-0.1216\nexposure_pct,75\n"
              "open_position,long\n");
    const TaOutcome none = RunTa({"--bars", m_system, "--formula", Write("never.txt", "ENTERLONG:0;"),
                                  "--system", "--summary", "--capital", "0"});
    EXPECT_EQ(none.out,
              "trades,0\nwins,0\nwin_rate,\nnet_profit,0\ngross_profit,0\ngross_loss,0\nprofit_factor,\n"
              "average_trade,\nlargest_win,\nlargest_loss,\nmax_drawdown,0\nmax_drawdown_pct,\nreturn_pct,\n"
              "exposure_pct,0\nopen_position,none\n");
}

TEST_F(QeltTaAnalysis, OptimizePrintsOneRowPerCombinationTheFirstParameterSlowest) {
    const std::string formula = Write("nm.txt", "ENTERLONG:C>REF(C,N)+0*M; ENTERSHORT:C<REF(C,N);");
    const TaOutcome outcome = RunTa({"--bars", m_system, "--formula", formula, "--system", "--optimize",
                                     "N=1:2:1", "--optimize", "M=5:6:1"});
    ASSERT_EQ(outcome.status, 0) << outcome.error;
    // N = 1 is the reversal system: -1, -2 and an open long at 0, the equity 0.5 up at bar
    // 2 and 3 down at the end. N = 2: long 12 -> 10, short 10 -> 12.5, open long at 0.
    EXPECT_EQ(outcome.out,
              "N,M,net_profit,max_drawdown,trades,win_rate\n"
              "1,5,-3,3.5,2,0\n1,6,-3,3.5,2,0\n2,5,-4.5,4.5,2,0\n2,6,-4.5,4.5,2,0\n");
    // A --param gives the value of what is not varied; a value breaking a constant leaves
    // that row's figures empty.
    const TaOutcome rows = RunTa(
        {"--bars", m_system, "--formula", formula, "--system", "--param", "M=1", "--optimize", "N=-1:1:1"});
    ASSERT_EQ(rows.status, 2) << "N = -1 is checked when compiling: " << rows.out;
    const TaOutcome later = RunTa({"--bars", m_system, "--formula", formula, "--system", "--param", "M=1",
                                   "--optimize", "N=1:2.5:1.5"});
    EXPECT_EQ(later.out, "N,net_profit,max_drawdown,trades,win_rate\n1,-3,3.5,2,0\n2.5,-4.5,4.5,2,0\n");
}

TEST_F(QeltTaAnalysis, EveryFaultIsOneLineAndStatusTwo) {
    ExpectFault({"--bars", m_system, "--formula", Write("plain.txt", "A:C;"), "--system"},
                "not a trading system");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "N=1:100001:1"},
                "more than 100000 combinations");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "A=1:1000:1",
                 "--optimize", "B=1:101:1"},
                "more than 100000 combinations");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "A=1:2:1",
                 "--optimize", "B=1:2:1", "--optimize", "C1=1:2:1", "--optimize", "D=1:2:1"},
                "1 to 3");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "N=1:2:0"}, "STEP");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "N=3:2:1"}, "FROM");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "N=1:2"},
                "NAME=FROM:TO:STEP");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "N=1:2:1",
                 "--optimize", "n=1:2:1"},
                "twice");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--optimize", "C=1:2:1"},
                "--optimize C:");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--optimize", "N=1:2:1"}, "needs --system");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--summary"}, "needs --system");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--lots", "0"}, "--lots");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--lots", "1.5"}, "--lots");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--capital", "-1"}, "--capital");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--multiplier", "0"},
                "--multiplier");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--slippage", "x"}, "--slippage");
    ExpectFault({"--bars", m_system, "--formula", m_reversal, "--system", "--commission"}, "--commission");
    ExpectFault({"--bars", m_system, "--system"}, "--formula");
    ExpectFault({"--formula", m_reversal, "--system"}, "--bars");
    ExpectFault({"--formula", m_reversal, "--screen", m_a, "--at", "2006"}, "--at");
    ExpectFault({"--formula", m_reversal, "--screen"}, "at least one");
    ExpectFault({"--formula", m_reversal, "--screen", m_a, "--bars", m_a}, "--bars");
    ExpectFault({"--formula", m_reversal, "--screen", m_a, "--system"}, "only one");
    ExpectFault({"--bars", m_a, "--formula", m_reversal, "--at", "20060102"}, "--at needs --screen");
    ExpectFault({"--formula", m_reversal, "--screen", m_a, m_dir.File("missing.csv")}, "cannot read");
    ExpectFault(
        {"--formula", m_reversal, "--screen", Write("bad.csv", "20060102,1,2,3,4,5,6,7,8,9\n2006,1\n")},
        "line 2");
    const TaOutcome broken =
        RunTa({"--formula", Write("ma.txt", "C>MA(C,N-5);"), "--screen", m_a, "--param", "N=3"});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.error.find("ma.txt:1:"), std::string::npos) << broken.error;
}

TEST_F(QeltTaAnalysis, MinuteBarFilesAreScreenedAtTheirDatesLastBarAndReadTheirTimes) {
    // Two days of 30-minute bars; the close rises through the first day and falls through the
    // second, so "rising" holds at the first day's last bar and not at the second's.
    const std::string minutes = Write("m.csv",
                                      "20060102,10,11,11,10,1,10,0,0,200606,0900\n"
                                      "20060102,11,12,12,11,1,11,0,0,200606,0930\n"
                                      "20060102,12,13,13,12,1,12,0,0,200606,1000\n"
                                      "20060103,13,12,13,12,1,12,0,0,200606,0900\n"
                                      "20060103,12,11,12,11,1,11,0,0,200606,0930\n");
    const std::string formula = Write("rising.txt", "UP:C>REF(C,1);T:TIME;\n");
    TaOutcome at = RunTa({"--formula", formula, "--screen", minutes, "--at", "20060102"});
    EXPECT_EQ(at.status, 0) << at.error;
    EXPECT_EQ(at.out, "file,date,UP,T\n" + minutes + ",20060102,1,1000\n")
        << "the date's last bar, not a later one";
    TaOutcome last = RunTa({"--formula", formula, "--screen", minutes});
    EXPECT_EQ(last.out, "file,date,UP,T\n");
    TaOutcome system = RunTa({"--bars", minutes, "--formula",
                              Write("s.txt", "ENTERLONG:TIME=930;EXITLONG:TIME=900;\n"), "--system"});
    EXPECT_EQ(system.status, 0) << system.error;
    EXPECT_EQ(system.out,
              "entry_bar,entry_date,side,entry_price,exit_bar,exit_date,exit_price,profit\n"
              "2,20060102,long,12,4,20060103,12,0\n")
        << "signals on the 09:30 and 09:00 bars fill at the next bars' opens";
}

}  // namespace
}  // namespace qelt
