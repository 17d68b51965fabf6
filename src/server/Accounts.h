#pragma once
/// The subscribers: "<data>/users.txt", one account per line
///   name|password|locked|expires|history id|
/// locked 0/1, expires YYYYMMDD (0 = never), history id = the last "his" record the user
/// has been sent. Lines starting with "#" are comments. Created with the demo accounts when
/// missing; every change is written back atomically.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace qelt::server {

/// Verdicts of the "login" reply.
enum class Verdict { Ok = 0, UnknownUser = 1, WrongPassword = 2, Locked = 3, InUse = 4, Expired = 5 };
std::string_view VerdictText(Verdict verdict);

struct Account {
    std::string password;
    bool locked = false;
    int expires = 0;
    std::int64_t historyId = 0;
};

/// The account every demonstration can rely on: never locked, never expired, never "in use"
/// (any number of sessions), and its password cannot be changed.
inline constexpr std::string_view kDemoUser = "demo";
inline constexpr std::string_view kDemoPassword = "demo";

class Accounts {
  public:
    /// Loads "<dataDir>users.txt", creating it with the demo accounts when missing.
    /// An empty dataDir keeps the accounts in memory only.
    explicit Accounts(std::string dataDir);

    /// Checks name and password on `today`; `inUse` says whether the name has a session.
    Verdict Check(const std::string& user, const std::string& password, int today, bool inUse) const;
    /// Days left before the account expires (9999 when it never does).
    int DaysLeft(const std::string& user, int today) const;

    /// "pwd" answers: 0 changed, 1 old password wrong, 2 refused (unknown user, the demo
    /// account, an empty or unusable new password, or the file could not be written).
    int ChangePassword(const std::string& user, const std::string& oldPassword,
                       const std::string& newPassword);

    std::int64_t HistoryId(const std::string& user) const;
    void SetHistoryId(const std::string& user, std::int64_t id);

    const Account* Find(const std::string& user) const;

  private:
    bool Save() const;
    void Parse(std::string_view text);

    std::string m_path;
    std::map<std::string, Account> m_accounts;
};

}  // namespace qelt::server
