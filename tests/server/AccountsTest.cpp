#include <gtest/gtest.h>

#include <cstdint>

#include "common/DemoServer.h"
#include "common/Files.h"
#include "server/Accounts.h"
#include "server/UpdateService.h"
#include "support/TempDir.h"

namespace qelt::server {
namespace {

constexpr int kCheckDay = 20261208;

TEST(Accounts, VerdictsOfTheDemoAccounts) {
    test::TempDir dir;
    Accounts a(dir.Path());
    EXPECT_TRUE(FileExists(dir.File("users.txt")));
    EXPECT_EQ(a.Check("demo", "demo", kCheckDay, true), Verdict::Ok);  // never "in use"
    EXPECT_EQ(a.Check("nobody", "x", kCheckDay, false), Verdict::UnknownUser);
    EXPECT_EQ(a.Check("trader", "wrong", kCheckDay, false), Verdict::WrongPassword);
    EXPECT_EQ(a.Check("locked", "locked", kCheckDay, false), Verdict::Locked);
    EXPECT_EQ(a.Check("trader", "trader", kCheckDay, true), Verdict::InUse);
    EXPECT_EQ(a.Check("expired", "expired", kCheckDay, false), Verdict::Expired);
    EXPECT_EQ(a.Check("trader", "trader", kCheckDay, false), Verdict::Ok);
    EXPECT_EQ(VerdictText(Verdict::InUse), "帐号正在使用中");
    // The accounts the client's login dialog names for the demo server all let a user in.
    for (const DemoAccount& account : kDemoAccounts)
        EXPECT_EQ(a.Check(std::string(account.user), std::string(account.password), kCheckDay, false),
                  Verdict::Ok)
            << account.user;
}

TEST(Accounts, PasswordChangesPersistAndDemoStaysUsable) {
    test::TempDir dir;
    {
        Accounts a(dir.Path());
        EXPECT_EQ(a.ChangePassword("trader", "bad", "new1"), 1);
        EXPECT_EQ(a.ChangePassword("trader", "trader", "a|b"), 2);  // would break the file
        EXPECT_EQ(a.ChangePassword("trader", "trader", ""), 2);
        EXPECT_EQ(a.ChangePassword("nobody", "x", "y"), 2);
        EXPECT_EQ(a.ChangePassword("demo", "demo", "other"), 2);
        EXPECT_EQ(a.ChangePassword("trader", "trader", "new1"), 0);
        a.SetHistoryId("trader", 1234);
    }
    Accounts reloaded(dir.Path());
    EXPECT_EQ(reloaded.Check("trader", "new1", kCheckDay, false), Verdict::Ok);
    EXPECT_EQ(reloaded.HistoryId("trader"), 1234);
    // Even a file that locks or re-passwords the demo account keeps it working.
    WriteFileAtomic(dir.File("users.txt"), "demo|secret|1|20000101|0|\n");
    Accounts edited(dir.Path());
    EXPECT_EQ(edited.Check("demo", "demo", kCheckDay, false), Verdict::Ok);
}

std::uint32_t U32(const std::string& h, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(h[at + static_cast<size_t>(i)]);
    return v;
}

TEST(UpdateService, HeadersAsTheUpdaterReadsThem) {
    // 2026-01-01 00:00:00 UTC as a file time: (1767225600 + 11644473600) * 10^7.
    std::string h = UpdateHeader("qelt.db", 2500, 1767225600);
    ASSERT_EQ(h.size(), 320u);
    std::uint64_t ft = (1767225600ull + 11644473600ull) * 10000000ull;
    EXPECT_EQ(U32(h, 4), static_cast<std::uint32_t>(ft));
    EXPECT_EQ(U32(h, 8), static_cast<std::uint32_t>(ft >> 32));
    EXPECT_EQ(U32(h, 20), static_cast<std::uint32_t>(ft));
    EXPECT_EQ(U32(h, 28), 0u);
    EXPECT_EQ(U32(h, 32), 2500u);
    EXPECT_EQ(std::string(h.data() + 44), "qelt.db");
    EXPECT_EQ(h[44 + 7], '\0');

    test::TempDir dir;
    EnsureDirectory(dir.File("update"));
    WriteFileAtomic(dir.File("update/b.txt"), "second");
    WriteFileAtomic(dir.File("update/a.exe"), "first");
    EnsureDirectory(dir.File("update/sub"));  // folders are not offered
    std::string stream = UpdateStream(dir.File("update/"));
    ASSERT_EQ(stream.size(), 320u + 5 + 320 + 6);
    EXPECT_EQ(std::string(stream.data() + 44), "a.exe");
    EXPECT_EQ(stream.substr(320, 5), "first");
    EXPECT_EQ(std::string(stream.data() + 325 + 44), "b.txt");
    EXPECT_EQ(stream.substr(325 + 320), "second");
}

}  // namespace
}  // namespace qelt::server
