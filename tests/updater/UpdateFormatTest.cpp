// The header record, file times, target names and permissions of downloaded files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "updater/UpdateFileHeader.h"
#include "updater/UpdateStatus.h"
#include "updater/UpdateTarget.h"

namespace qelt {
namespace {

TEST(UpdateFileHeader, FieldsSitAtTheirLittleEndianOffsets) {
    std::string raw(kUpdateHeaderSize, '\0');
    raw[0] = 0x21;  // attributes: read-only | archive
    raw[4] = 0x01;
    raw[11] = 0x02;  // creation time, low byte and high byte
    raw[12] = 0x03;  // last access
    raw[20] = 0x04;
    raw[27] = 0x01;  // last write
    raw[28] = 0x07;  // size high (ignored by the download)
    raw[32] = char(0xC4);
    raw[33] = 0x09;  // size low 2500
    raw.replace(44, 7, "qelt.db");
    raw.replace(304, 4, "QELT");  // short name: ignored
    UpdateFileHeader h = ParseUpdateFileHeader(reinterpret_cast<const unsigned char*>(raw.data()));
    EXPECT_EQ(h.attributes, 0x21u);
    EXPECT_EQ(h.creationTime, 0x0200000000000001ull);
    EXPECT_EQ(h.lastAccessTime, 3u);
    EXPECT_EQ(h.lastWriteTime, 0x0100000000000004ull);
    EXPECT_EQ(h.sizeHigh, 7u);
    EXPECT_EQ(h.sizeLow, 2500u);
    EXPECT_EQ(h.name, "qelt.db");
    EXPECT_TRUE(h.nameTerminated);
    EXPECT_EQ(EncodeUpdateFileHeader(h).substr(0, 304), raw.substr(0, 304));
}

TEST(UpdateFileHeader, NameEndsAtTheFirstNulAndMustBeTerminated) {
    std::string raw(kUpdateHeaderSize, '\0');
    raw.replace(44, 12, std::string("a.txt\0../../x", 12));
    auto h = ParseUpdateFileHeader(reinterpret_cast<const unsigned char*>(raw.data()));
    EXPECT_EQ(h.name, "a.txt") << "leftovers after the NUL are not part of the name";

    raw.replace(44, kUpdateNameField, std::string(kUpdateNameField, 'n'));
    h = ParseUpdateFileHeader(reinterpret_cast<const unsigned char*>(raw.data()));
    EXPECT_FALSE(h.nameTerminated);
    EXPECT_EQ(h.name.size(), kUpdateNameField);
}

TEST(FileTime, ConvertsToUnixTimeAndClampsNonsense) {
    // 2020-01-01 00:00:00 UTC is Unix 1577836800; (1577836800 + 11644473600) * 10^7.
    EXPECT_EQ(FileTimeToUnix(132223104000000000ull), (UnixTime{1577836800, 0}));
    EXPECT_EQ(FileTimeToUnix(132223104000000000ull + 1234567), (UnixTime{1577836800, 123456700}));
    EXPECT_EQ(UnixToFileTime(1577836800), 132223104000000000ull);
    EXPECT_EQ(FileTimeToUnix(0), std::nullopt) << "0 means no time given";
    EXPECT_EQ(FileTimeToUnix(1), (UnixTime{0, 0})) << "1601 is clamped to 1970";
    EXPECT_EQ(FileTimeToUnix(UINT64_MAX), (UnixTime{253402300799, 0})) << "clamped to the year 9999";
}

TEST(UpdateTarget, DatabaseFilesGoToHisOthersBesideTheProgram) {
    EXPECT_EQ(UpdateTargetPath("/p/", "qelt.db"), "/p/his/qelt.db");
    EXPECT_EQ(UpdateTargetPath("/p/", "qelt"), "/p/qelt");
    EXPECT_EQ(UpdateTargetPath("/p/", "行情.txt"), "/p/行情.txt");
    EXPECT_EQ(UpdateTargetPath("/p/", "db"), "/p/db");
    EXPECT_EQ(UpdateTargetPath("/p/", "x.db.bak"), "/p/x.db.bak");
}

TEST(UpdateTarget, NamesThatCouldLeaveTheProgramDirectoryAreRefused) {
    for (std::string_view bad :
         {"", ".", "..", "../x", "..\\x", "/etc/passwd", "his/qelt.db", "C:\\qelt.exe", "a..b", "x\ny"}) {
        EXPECT_FALSE(IsSafeUpdateName(bad)) << bad;
        EXPECT_EQ(UpdateTargetPath("/p/", bad), std::nullopt) << bad;
    }
    EXPECT_FALSE(IsSafeUpdateName(std::string_view("a\0b", 3)));
    EXPECT_TRUE(IsSafeUpdateName(".hidden"));
    EXPECT_TRUE(IsSafeUpdateName("update"));
}

TEST(UpdateTarget, ModeFollowsReadOnlyAndKeepsAProgramExecutable) {
    EXPECT_EQ(UpdateFileMode(0, std::nullopt, "text"), 0644u);
    EXPECT_EQ(UpdateFileMode(kFileAttributeReadOnly, std::nullopt, "text"), 0444u);
    EXPECT_EQ(UpdateFileMode(0x20, std::nullopt,
                             "\x7f"
                             "ELF"),
              0755u);
    EXPECT_EQ(UpdateFileMode(0, std::nullopt, "#!/bin/sh"), 0755u);
    EXPECT_EQ(UpdateFileMode(0, 0100755, "new"), 0755u) << "a replaced program stays executable";
    EXPECT_EQ(UpdateFileMode(0, 0100444, "x"), 0644u) << "no read-only attribute: writable again";
    EXPECT_EQ(UpdateFileMode(kFileAttributeReadOnly, 0100755, "x"), 0555u);
}

TEST(UpdateStatus, TextsForEveryCode) {
    EXPECT_EQ(UpdateStatusText(-1, "x"), "无法连接服务器，下载失败！");
    EXPECT_EQ(UpdateStatusText(0, "x"), "开始下载...");
    EXPECT_EQ(UpdateStatusText(40, "qelt.db"), "正在下载qelt.db...40%");
    EXPECT_EQ(UpdateStatusText(100, "x"), "下载完成!");
    EXPECT_EQ(UpdateStatusText(-2, "x"), "下载中断，更新未完成！");
    EXPECT_TRUE(IsFinalUpdateCode(-2));
    EXPECT_FALSE(IsFinalUpdateCode(99));
}

}  // namespace
}  // namespace qelt
