// qelt-ta's minute bars: --trades against hand-worked files, and minute bar files (with the
// time as an eleventh field) through --bars and --formula.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "common/Files.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

struct TradesRun {
    int status = -1;
    std::string output;  // standard output and standard error together
};

TradesRun RunTradesTa(const std::string& arguments) {
    const std::string command = std::string("'") + QELT_TA_PATH + "' " + arguments + " 2>&1";
    TradesRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

/// A trade record of 20 fields: date (4), identity (7), pure_num (8), blank marker (10), time
/// (11), continuous price (12) and the day's cumulative continuous volume (13).
std::string Record(const std::string& date, int id, int pure, const std::string& time,
                   const std::string& price, int cumulative) {
    std::string fields[20];
    for (std::string& f : fields) f = "0";
    fields[4] = date;
    fields[7] = std::to_string(id);
    fields[8] = std::to_string(pure);
    fields[10] = " ";
    fields[11] = time;
    fields[12] = price;
    fields[13] = std::to_string(cumulative);
    std::string line;
    for (int i = 0; i < 20; ++i) line += (i ? "," : "") + fields[i];
    return line + "\n";
}

class QeltTaTrades : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        EXPECT_TRUE(WriteFileAtomic(m_dir.File(name), text));
        return "'" + m_dir.File(name) + "'";
    }
    /// Before the open, a zero price, a volume that goes down, the closing minutes, lunch,
    /// after the close, and a second date.
    std::string Day() {
        return Write("trades.csv", Record("20260303", 1, 100, "085959", "10.00", 5) +
                                       Record("20260303", 2, 101, "090412", "10.20", 9) +
                                       Record("20260303", 3, 0, "090500", "0", 50) +
                                       Record("20260303", 4, 99, "090501", "9.90", 8) +
                                       Record("20260303", 5, 98, "110030", "10.50", 12) +
                                       Record("20260303", 6, 97, "120000", "10.40", 13) +
                                       Record("20260303", 7, 96, "133000", "10.60", 20) +
                                       Record("20260303", 8, 95, "153000", "10.70", 25) +
                                       Record("20260303", 9, 94, "160000", "10.80", 24) +
                                       Record("20260304", 10, 10, "093000", "11.00", 3));
    }
    test::TempDir m_dir;
};

constexpr const char* kTradesHeader =
    "date,time,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num\n";

TEST_F(QeltTaTrades, FiveAndSixtyMinuteBarsAsWorkedByHand) {
    const std::string file = Day();
    TradesRun run = RunTradesTa("--trades " + file + " --period 5min");
    ASSERT_EQ(run.status, 0) << run.output;
    // 0900: 10.00 x5 and 10.20 x4: (50 + 40.8) / 9 = 10.0889. 0905: one record without
    // volume, the mean of its price. 1055: 11:00:30 and lunch join the morning's last bar:
    // (42 + 10.4) / 5 = 10.48. 1525: 15:30 and after the close, the second with volume 0.
    EXPECT_EQ(run.output, std::string(kTradesHeader) +
                              "20260303,0900,10.00,10.20,10.20,10.00,9,10.09,101\n"
                              "20260303,0905,9.90,9.90,9.90,9.90,0,9.90,99\n"
                              "20260303,1055,10.50,10.40,10.50,10.40,5,10.48,97\n"
                              "20260303,1330,10.60,10.60,10.60,10.60,7,10.60,96\n"
                              "20260303,1525,10.70,10.80,10.80,10.70,5,10.70,94\n"
                              "20260304,0930,11.00,11.00,11.00,11.00,3,11.00,10\n");

    run = RunTradesTa("--trades=" + file + " --period=60min");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, std::string(kTradesHeader) +
                              "20260303,0900,10.00,9.90,10.20,9.90,9,10.09,99\n"
                              "20260303,1000,10.50,10.40,10.50,10.40,5,10.48,97\n"
                              "20260303,1330,10.60,10.60,10.60,10.60,7,10.60,96\n"
                              "20260303,1430,10.70,10.80,10.80,10.70,5,10.70,94\n"
                              "20260304,0900,11.00,11.00,11.00,11.00,3,11.00,10\n");

    run = RunTradesTa("--period 1min --trades " + file);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, std::string(kTradesHeader) +
                              "20260303,0900,10.00,10.00,10.00,10.00,5,10.00,100\n"
                              "20260303,0904,10.20,10.20,10.20,10.20,4,10.20,101\n"
                              "20260303,0905,9.90,9.90,9.90,9.90,0,9.90,99\n"
                              "20260303,1059,10.50,10.40,10.50,10.40,5,10.48,97\n"
                              "20260303,1330,10.60,10.60,10.60,10.60,7,10.60,96\n"
                              "20260303,1529,10.70,10.80,10.80,10.70,5,10.70,94\n"
                              "20260304,0930,11.00,11.00,11.00,11.00,3,11.00,10\n");
}

TEST_F(QeltTaTrades, FaultsAreOneLineWithStatusTwo) {
    const std::string day = Day();
    const std::string shortRow = Write("short.csv", Record("20260303", 1, 1, "090000", "10", 1).substr(2));
    const std::string badTime = Write("time.csv", Record("20260303", 1, 1, "09:00", "10", 1));
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"--trades " + day + " --period 2min",
         "qelt-ta: --trades needs --period 1min, 5min, 15min, 30min or 60min\n"},
        {"--trades " + day, "qelt-ta: --trades needs --period 1min, 5min, 15min, 30min or 60min\n"},
        {"--trades " + day + " --period 5min --formula f.txt",
         "qelt-ta: \"--formula\" does not apply to --trades (see --help)\n"},
        {"--trades " + m_dir.File("none.csv") + " --period 5min",
         "qelt-ta: cannot read " + m_dir.File("none.csv") + "\n"},
        {"--trades " + shortRow + " --period 5min", "malformed row: expected 20 fields, found 19\n"},
        {"--trades " + badTime + " --period 5min", "line 1: malformed row: time \"09:00\" is not HHMMSS\n"},
        {"--period 5min --trades", "qelt-ta: --trades needs a value\n"},
    };
    for (const auto& c : cases) {
        const TradesRun run = RunTradesTa(c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << "one line: " << run.output;
    }
}

TEST_F(QeltTaTrades, MinuteBarFilesCarryTheirTimeThroughBarsAndFormulas) {
    const std::string bars =
        Write("minutes.csv",
              "date,open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,"
              "null_num,due_date,time\n"
              "20260303,10,10.5,11,9.5,5,10.2,3,0,20260624,0900\n"
              "20260303,10.5,11,11,10.5,4,10.8,4,0,20260624,1455\n"
              "20260304,11,12,12,11,6,11.5,5,0,20260624,935\n");
    TradesRun run = RunTradesTa("--bars " + bars + " --period day");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("20260304,11,12,12,11,6,11.5,5,0,20260624,0935\n"), std::string::npos)
        << run.output;

    const std::string formula = Write("f.txt", "T:TIME; PM:IF(TIME>=1330,C,0); VV:VOL;");
    run = RunTradesTa("--bars " + bars + " --formula " + formula);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "bar,T,PM,VV\n0,900,0,5\n1,1455,11,4\n2,935,0,6\n");

    const std::string mixed = Write(
        "mixed.csv", "20260303,10,10.5,11,9.5,5,10.2,3,0,x,0900\n20260303,10,10.5,11,9.5,5,10.2,3,0,x\n");
    run = RunTradesTa("--bars " + mixed + " --ma");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("line 2: malformed row: expected 11 fields, found 10"), std::string::npos)
        << run.output;
    run = RunTradesTa("--bars " + Write("late.csv", "20260303,10,10.5,11,9.5,5,10.2,3,0,x,0960\n") + " --ma");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("time \"0960\" is not HHMM"), std::string::npos) << run.output;
    run = RunTradesTa("--bars " + bars + " --period week");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.output.find("take a file of day bars"), std::string::npos) << run.output;
    EXPECT_EQ(RunTradesTa("--bars " + bars + " --ox").status, 2);
}

}  // namespace
}  // namespace qelt
