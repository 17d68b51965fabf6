// The download against a loopback update service inside the test: the request, where files
// land, progress values, the server list and what a broken or hostile stream leaves behind.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "common/Files.h"
#include "common/Gbk.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "updater/UpdateBatch.h"
#include "updater/UpdateDownload.h"
#include "updater/UpdateFileHeader.h"

namespace qelt {
namespace {

using test::LoopbackServer;
using test::TempDir;

constexpr std::uint64_t k2020 = 132223104000000000ull;  // 2020-01-01 00:00:00 UTC

/// One file as the service sends it; `announced` overrides the size in the header.
std::string Served(const std::string& nameUtf8, const std::string& content, std::uint32_t attributes = 0,
                   std::uint64_t writeTime = k2020, std::optional<std::uint32_t> announced = {}) {
    UpdateFileHeader h;
    h.attributes = attributes;
    h.creationTime = writeTime;
    h.lastAccessTime = writeTime + 10'000'000;  // one second later
    h.lastWriteTime = writeTime;
    h.sizeLow = announced ? *announced : static_cast<std::uint32_t>(content.size());
    h.name = Utf8ToGbk(nameUtf8);
    return EncodeUpdateFileHeader(h) + content;
}

/// A port on 127.0.0.1 where nobody listens: bound but not listening refuses connections.
class RefusingPort {
  public:
    RefusingPort() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        socklen_t len = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
        m_port = ntohs(addr.sin_port);
    }
    ~RefusingPort() { ::close(m_fd); }
    int Port() const { return m_port; }

  private:
    int m_fd = -1;
    int m_port = 0;
};

class UpdateDownload : public ::testing::Test {
  protected:
    ~UpdateDownload() override {
        if (m_serving.joinable()) m_serving.join();
    }

    /// The service: accept, read the request, send `stream`, then close (or wait for the
    /// client to go when `holdOpen`).
    void Serve(std::string stream, bool holdOpen = false) {
        if (m_serving.joinable()) m_serving.join();
        m_serving = std::thread([this, stream = std::move(stream), holdOpen] {
            if (!m_server.Accept()) return;
            m_request = m_server.ReadAtLeast(11);
            m_requested = true;
            m_server.Write(stream);
            if (holdOpen) m_server.WaitPeerClosed();
            m_server.CloseClient();
        });
    }

    void WriteConfig(const std::string& text) {
        ASSERT_TRUE(WriteFileAtomic(m_home.File("config.ini"), Utf8ToGbk(text)));
    }
    std::string OurServer(const std::string& name = "主站") const {
        return name + ":127.0.0.1:" + std::to_string(m_server.Port()) + "\r\n";
    }

    UpdateReport Run(UpdateOptions options = {}) {
        options.connectTimeout = std::chrono::milliseconds(2000);
        UpdateReport report = RunUpdate(
            m_home.Path(),
            [this](int code, const std::string& file) {
                std::lock_guard lock(m_mutex);
                m_codes.push_back(code);
                m_files.push_back(file);
                m_progressed.notify_all();
            },
            options);
        if (m_serving.joinable()) m_serving.join();
        return report;
    }

    /// Waits until the download has reported `code` (at most 5 s).
    bool WaitForCode(int code) {
        std::unique_lock lock(m_mutex);
        return m_progressed.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::find(m_codes.begin(), m_codes.end(), code) != m_codes.end();
        });
    }

    std::string Content(const std::string& name) {
        return ReadWholeFile(m_home.File(name)).value_or("<missing>");
    }
    /// Names in the program directory and his/, to see that no temporary file is left.
    std::vector<std::string> Listing() {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::recursive_directory_iterator(m_home.Path()))
            out.push_back(std::filesystem::relative(e.path(), m_home.Path()).string());
        std::sort(out.begin(), out.end());
        return out;
    }

    TempDir m_home;
    LoopbackServer m_server;
    std::thread m_serving;
    std::string m_request;
    std::mutex m_mutex;
    std::condition_variable m_progressed;
    std::vector<int> m_codes;
    /// The service has read the client's request: the client waits for the first header.
    std::atomic<bool> m_requested{false};
    std::vector<std::string> m_files;
};

TEST_F(UpdateDownload, FetchesEveryFileIntoAFreshProgramDirectory) {
    WriteConfig(OurServer());
    Serve(Served("qelt.db", "database") +
          Served("qelt",
                 "\x7f"
                 "ELF program") +
          Served("行情.txt", "说明"));
    UpdateReport report = Run();
    EXPECT_EQ(m_request, "update:|END") << "the request has no line break";
    EXPECT_EQ(report.outcome, UpdateOutcome::Finished);
    EXPECT_EQ(report.server, "主站");
    EXPECT_EQ(report.written, (std::vector<std::string>{"qelt.db", "qelt", "行情.txt"}));
    EXPECT_EQ(Content("his/qelt.db"), "database") << "his/ is created for database files";
    EXPECT_EQ(Content("qelt"),
              "\x7f"
              "ELF program");
    EXPECT_EQ(Content("行情.txt"), "说明") << "GBK names are stored as UTF-8";
    EXPECT_EQ(Listing(), (std::vector<std::string>{"config.ini", "his", "his/qelt.db", "qelt", "行情.txt"}));
    struct stat st {};
    ASSERT_EQ(::stat(m_home.File("qelt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u) << "a new program is executable";
}

TEST_F(UpdateDownload, ProgressAfterEveryKilobyteThenHundred) {
    WriteConfig(OurServer());
    Serve(Served("big.bin", std::string(2500, 'b')));
    Run();
    // 1024 x 100 / 2500 = 40, 2048 x 100 / 2500 = 81, 2500 x 100 / 2500 = 100 capped at 99.
    EXPECT_EQ(m_codes, (std::vector<int>{0, 40, 81, 99, 100}));
    EXPECT_EQ(m_files[1], "big.bin");
    EXPECT_EQ(Content("big.bin"), std::string(2500, 'b'));
}

TEST_F(UpdateDownload, AStreamArrivingInPiecesEachSmallerThanTheLastIsWrittenWhole) {
    WriteConfig(OurServer());
    std::string content;
    for (int i = 0; i < 2500; ++i) content += static_cast<char>('a' + i % 23);
    const std::string stream = Served("big.bin", content) + Served("b.txt", "tail");
    // The service sends a piece, waits until the client has read past it (its progress says
    // so), and sends a smaller one: every read lands at the start of the client's buffer.
    const std::size_t first = kUpdateHeaderSize + 1500, second = 600;
    m_serving = std::thread([this, &stream, first, second] {
        if (!m_server.Accept()) return;
        m_server.ReadAtLeast(11);
        m_server.Write(stream.substr(0, first));
        WaitForCode(40);  // 1024 of 2500 bytes
        m_server.Write(stream.substr(first, second));
        WaitForCode(81);  // 2048 of 2500
        m_server.Write(stream.substr(first + second));
        m_server.CloseClient();
    });
    UpdateReport report = Run();
    EXPECT_EQ(report.outcome, UpdateOutcome::Finished);
    EXPECT_EQ(Content("big.bin"), content);
    EXPECT_EQ(Content("b.txt"), "tail");
}

TEST_F(UpdateDownload, EmptyFileIsCreatedWithItsTimesAndReadOnlyAttribute) {
    WriteConfig(OurServer());
    Serve(Served("empty.ini", "", kFileAttributeReadOnly));
    UpdateReport report = Run();
    EXPECT_EQ(report.outcome, UpdateOutcome::Finished);
    EXPECT_EQ(m_codes, (std::vector<int>{0, 100})) << "no content, no piece";
    struct stat st {};
    ASSERT_EQ(::stat(m_home.File("empty.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1577836800);
    EXPECT_EQ(st.st_atim.tv_sec, 1577836801);
    EXPECT_EQ(st.st_mode & 0222, 0u);
}

TEST_F(UpdateDownload, ServerListSkipsShortLinesAndUnreachableServers) {
    RefusingPort refusing;
    WriteConfig(
        "只有名称:127.0.0.1\r\n"  // one ":": ignored
        "坏:127.0.0.1:" +
        std::to_string(refusing.Port()) + "\r\n" + OurServer("好"));
    Serve(Served("a.txt", "A"));
    UpdateReport report = Run();
    EXPECT_EQ(report.outcome, UpdateOutcome::Finished);
    EXPECT_EQ(report.server, "好");
    EXPECT_EQ(m_codes, (std::vector<int>{0, 99, 100})) << "no -1 for the unreachable first entry";
}

TEST_F(UpdateDownload, NoReachableServerOrNoConfigReportsFailure) {
    UpdateReport report = Run();  // no config.ini at all
    EXPECT_EQ(report.outcome, UpdateOutcome::NoServer);
    EXPECT_EQ(m_codes, (std::vector<int>{-1}));

    RefusingPort refusing;
    WriteConfig("a:127.0.0.1:" + std::to_string(refusing.Port()) + "\r\nb:10.0.0.1:0\r\n");
    EXPECT_EQ(Run().outcome, UpdateOutcome::NoServer);
}

TEST_F(UpdateDownload, HostileNamesWriteNothingAndTheStreamStaysInStep) {
    TempDir outer;
    std::filesystem::create_directory(outer.File("prog"));
    std::string home = outer.File("prog/");
    WriteFileAtomic(home + "config.ini", OurServer());
    std::filesystem::create_directory(home + "blocked.txt");  // a target that cannot be written
    std::string stream;
    for (const char* name : {"../x", "..\\x", "/tmp/qelt-update-abs", "his/../../x", "blocked.txt"})
        stream += Served(name, std::string(1500, 'h'));
    UpdateFileHeader unterminated;
    unterminated.name = "y";
    unterminated.nameTerminated = false;
    unterminated.sizeLow = 3;
    stream += EncodeUpdateFileHeader(unterminated) + "abc";
    stream += Served("ok.txt", "fine");
    Serve(stream);
    UpdateReport report = RunUpdate(home, [](int, const std::string&) {});
    m_serving.join();
    EXPECT_EQ(report.outcome, UpdateOutcome::Finished);
    EXPECT_EQ(report.written, (std::vector<std::string>{"ok.txt"}));
    EXPECT_EQ(report.skipped.size(), 6u);
    EXPECT_EQ(ReadWholeFile(home + "ok.txt"), "fine") << "the next header was read at its place";
    EXPECT_FALSE(FileExists(outer.File("x")));
    EXPECT_FALSE(FileExists("/tmp/qelt-update-abs"));
    EXPECT_TRUE(std::filesystem::is_empty(home + "blocked.txt")) << "no temporary file left";
}

TEST_F(UpdateDownload, ConnectionDroppedMidFileKeepsTheOldFile) {
    WriteConfig(OurServer());
    ASSERT_TRUE(WriteFileAtomic(m_home.File("qelt"), "old program"));
    Serve(Served("first.txt", "1") + Served("qelt", std::string(1000, 'n'), 0, k2020, 2500));
    UpdateReport report = Run();
    EXPECT_EQ(report.outcome, UpdateOutcome::Interrupted);
    EXPECT_EQ(m_codes.back(), -2) << "a broken transfer is not reported as done";
    EXPECT_EQ(Content("first.txt"), "1") << "complete files before the break stay";
    EXPECT_EQ(Content("qelt"), "old program");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"config.ini", "first.txt", "qelt"}));
}

TEST_F(UpdateDownload, AbsurdSizeOrHalfAHeaderEndsTheTransfer) {
    WriteConfig(OurServer());
    Serve(Served("huge.bin", "xyz", 0, k2020, 0xFFFFFFF0u));
    EXPECT_EQ(Run().outcome, UpdateOutcome::Interrupted);
    EXPECT_FALSE(FileExists(m_home.File("huge.bin")));

    m_codes.clear();
    Serve(Served("a.txt", "A") + std::string(100, '\0'));
    EXPECT_EQ(Run().outcome, UpdateOutcome::Interrupted);
    EXPECT_EQ(m_codes.back(), -2);
}

TEST_F(UpdateDownload, SilentServerTimesOutAndStopEndsQuickly) {
    WriteConfig(OurServer());
    Serve(Served("slow.txt", "ab", 0, k2020, 10), /*holdOpen=*/true);
    UpdateOptions options;
    options.idleTimeout = std::chrono::milliseconds(200);
    EXPECT_EQ(Run(options).outcome, UpdateOutcome::Interrupted);
    EXPECT_FALSE(FileExists(m_home.File("slow.txt")));

    m_codes.clear();
    m_requested = false;
    Serve("", /*holdOpen=*/true);
    std::atomic<bool> stop{false};
    options.idleTimeout = std::chrono::seconds(30);
    options.stop = &stop;
    std::thread stopper([&] {
        // Once the request was read: the client is waiting for the first header.
        for (int i = 0; i < 500 && !m_requested; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        stop = true;
    });
    EXPECT_EQ(Run(options).outcome, UpdateOutcome::Stopped);
    stopper.join();
    EXPECT_EQ(m_codes, (std::vector<int>{0})) << "a stopped download posts no final code";
}

TEST_F(UpdateDownload, BatchModePrintsStatusTextsAndExitCodes) {
    std::ostringstream out, err;
    EXPECT_EQ(RunBatchUpdate(m_home.Path(), out, err), kBatchNoServer);
    EXPECT_EQ(out.str(), "开始下载...\n无法连接服务器，下载失败！\n");

    WriteConfig(OurServer());
    Serve(Served("big.bin", std::string(2500, 'b')) + Served("../x", "x"));
    out.str("");
    UpdateOptions options;
    options.connectTimeout = std::chrono::milliseconds(2000);
    EXPECT_EQ(RunBatchUpdate(m_home.Path(), out, err, options), kBatchFinished);
    EXPECT_EQ(out.str(),
              "开始下载...\n正在下载big.bin...40%\n正在下载big.bin...81%\n正在下载big.bin...99%\n"
              "正在下载../x...99%\n下载完成!\n");
    EXPECT_EQ(err.str(), "未写入文件：../x\n");

    Serve(Served("cut.bin", "c", 0, k2020, 2));
    out.str("");
    EXPECT_EQ(RunBatchUpdate(m_home.Path(), out, err, options), kBatchInterrupted);
    EXPECT_NE(out.str().find("下载中断，更新未完成！"), std::string::npos);
}

}  // namespace
}  // namespace qelt
