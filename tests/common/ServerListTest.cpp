#include <gtest/gtest.h>

#include "common/Address.h"
#include "common/Files.h"
#include "common/ServerList.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

TEST(ServerList, LinesWithThreeFieldsBecomeEntries) {
    auto list = ParseServerList("主站:192.168.1.2:3500\r\nonly:address\r\nb:q.example:80:extra\r\n");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (ServerEntry{"主站", "192.168.1.2", "3500"}));
    EXPECT_EQ(list[1], (ServerEntry{"b", "q.example", "80"}));
    EXPECT_TRUE(ParseServerList("a::3500\r\n").empty()) << "an empty field swallows the rest";
}

TEST(ServerList, WrittenInGbkAndReadBack) {
    test::TempDir dir;
    std::vector<ServerEntry> entries{{"主站", "127.0.0.1", "3500"}, {"b", "h", "1"}};
    ASSERT_TRUE(WriteServerList(dir.Path(), entries));
    EXPECT_EQ(ReadWholeFile(dir.File("config.ini")).value(), "\xD6\xF7\xD5\xBE:127.0.0.1:3500\r\nb:h:1\r\n");
    EXPECT_EQ(ReadServerList(dir.Path()), entries);
    EXPECT_TRUE(ReadServerList(dir.File("missing/")).empty());
}

TEST(Address, DottedOnlyWhenEveryNumberIsBelow256) {
    EXPECT_TRUE(IsDottedIPv4("127.0.0.1"));
    EXPECT_TRUE(IsDottedIPv4("10.0.0.255 \t"));
    EXPECT_FALSE(IsDottedIPv4("10.0.0.256"));
    EXPECT_FALSE(IsDottedIPv4("10.0.0"));
    EXPECT_FALSE(IsDottedIPv4("1.2.3.4.5"));
    EXPECT_FALSE(IsDottedIPv4("0001.2.3.4"));
    EXPECT_FALSE(IsDottedIPv4("quotes.example"));
    EXPECT_EQ(ResolveServerAddress("127.0.0.1  "), "127.0.0.1");
    EXPECT_EQ(ResolveServerAddress("localhost"), "127.0.0.1");
    EXPECT_EQ(ResolveServerAddress(""), "");
}

TEST(Address, LeadingZerosAreDecimalEverywhereADottedAddressIsRead) {
    EXPECT_EQ(ParseDottedIPv4("192.168.001.010"), 0xC0A8010Au);
    EXPECT_TRUE(IsDottedIPv4(" 010.000.000.001"));
    // Never octal (a name look-up would make "010" eight), and the form the socket accepts.
    EXPECT_EQ(ResolveServerAddress("192.168.001.010"), "192.168.1.10");
    EXPECT_EQ(ResolveServerAddress(" 010.0.0.09 "), "10.0.0.9");
    EXPECT_FALSE(ParseDottedIPv4("192.168.1.1x"));
}

}  // namespace
}  // namespace qelt
