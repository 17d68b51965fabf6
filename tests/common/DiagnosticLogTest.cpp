// The diagnostic log: one well-formed line per event, a bounded file that rotates, lines
// that never interleave across threads, and the failed saves it reports by itself.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "support/FailingDisk.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(path).value_or(""));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

const std::regex kLine(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [^\n]*)");

class DiagnosticLogTest : public ::testing::Test {
  protected:
    ~DiagnosticLogTest() override { StopLog(); }
    LogSettings Settings(size_t maxBytes = 256u * 1024u, bool verbose = false) {
        LogSettings s;
        s.directory = dir.Path();
        s.toStderr = false;
        s.verbose = verbose;
        s.maxFileBytes = maxBytes;
        return s;
    }
    test::TempDir dir;
};

TEST_F(DiagnosticLogTest, OneTimestampedLinePerEventAndNothingBeforeTheStart) {
    Log("before the start");
    EXPECT_FALSE(FileExists(LogFilePath(dir.Path())));
    ASSERT_TRUE(StartLog(Settings()));
    Log("connected to 127.0.0.1:3500");
    Log("a reply with\r\na line break");  // a peer's text must not forge a second event
    std::string longText(401, 'x');
    for (int i = 0; i < 30; ++i) longText += "登陆成功";
    Log(longText);
    LogReceived("list:0112|20270525");  // verbose is off
    const auto lines = Lines(LogFilePath(dir.Path()));
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines) EXPECT_TRUE(std::regex_match(line, kLine)) << line;
    EXPECT_EQ(lines[0].substr(24), "connected to 127.0.0.1:3500");
    EXPECT_EQ(lines[1].substr(24), "a reply with  a line break");
    // A long line is cut at a whole character and says so.
    EXPECT_LE(lines[2].size() + 1, kMaxLogLine);
    EXPECT_GE(lines[2].size() + 4, kMaxLogLine);
    EXPECT_EQ(lines[2].substr(lines[2].size() - 3), "...");
    const std::string body = lines[2].substr(24 + 401, lines[2].size() - 24 - 401 - 3);
    EXPECT_EQ(body.size() % 3, 0u) << "three bytes per character, none split";
}

TEST_F(DiagnosticLogTest, VerboseShowsTheMessagesReceivedShortened) {
    ASSERT_TRUE(StartLog(Settings(256u * 1024u, true)));
    EXPECT_TRUE(LogIsVerbose());
    LogReceived("login:0");
    LogReceived("list:" + std::string(1000, '9'));
    const auto lines = Lines(LogFilePath(dir.Path()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(24), "received login:0");
    EXPECT_EQ(lines[1].substr(24), "received list:" + std::string(kLoggedMessageBytes - 5, '9') + "...");
    StopLog();
    EXPECT_FALSE(LogIsVerbose());
}

TEST_F(DiagnosticLogTest, TheFileRotatesAndStaysBounded) {
    const std::string path = LogFilePath(dir.Path());
    // A log left too large by an earlier run moves aside at the start.
    ASSERT_TRUE(WriteFileAtomic(path, std::string(5000, 'o') + "\n"));
    ASSERT_TRUE(StartLog(Settings(2000)));
    EXPECT_EQ(ReadWholeFile(path + ".1").value().size(), 5001u);
    for (int i = 0; i < 200; ++i) Log("event " + std::to_string(i));
    const auto current = ReadWholeFile(path).value();
    const auto previous = ReadWholeFile(path + ".1").value();
    EXPECT_LE(current.size(), 2000u);
    EXPECT_LE(previous.size(), 2000u);
    EXPECT_GT(previous.size(), 1500u) << "the previous file was full when it moved aside";
    EXPECT_NE(current.find("event 199\n"), std::string::npos) << "the newest line is in qelt.log";
    EXPECT_EQ(previous.back(), '\n');
    // A restart appends to the current file.
    ASSERT_TRUE(StartLog(Settings(2000)));
    Log("restarted");
    EXPECT_EQ(ReadWholeFile(path).value().rfind(current, 0), 0u);
}

TEST_F(DiagnosticLogTest, LinesFromManyThreadsNeverInterleave) {
    ASSERT_TRUE(StartLog(Settings(20000)));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 300; ++i) Log("thread " + std::to_string(t) + " line " + std::to_string(i));
        });
    for (auto& thread : threads) thread.join();
    size_t total = 0;
    for (const std::string name : {"qelt.log", "qelt.log.1"}) {
        for (const auto& line : Lines(dir.File(name))) {
            EXPECT_TRUE(std::regex_match(line, std::regex(R"(.{24}thread \d line \d+)"))) << line;
            ++total;
        }
    }
    EXPECT_GT(total, 100u);
}

TEST_F(DiagnosticLogTest, AFailedSaveIsLoggedWithItsPath) {
    ASSERT_TRUE(StartLog(Settings()));
    {
        test::FailingDisk disk(test::FailingDisk::Fault::FullDisk, 0);
        EXPECT_FALSE(WriteFileAtomic(dir.File("mylist.ini"), std::string(100, 'x')));
    }
    EXPECT_FALSE(WriteFileAtomic(dir.File("missing/head.ini"), "x"));
    const auto lines = Lines(LogFilePath(dir.Path()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("could not save " + dir.File("mylist.ini")), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("could not save " + dir.File("missing/head.ini") + ": No such file"),
              std::string::npos)
        << lines[1];
}

}  // namespace
}  // namespace qelt
