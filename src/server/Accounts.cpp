#include "server/Accounts.h"

#include "common/Files.h"
#include "common/Numbers.h"
#include "common/Split.h"
#include "common/Text.h"
#include "server/Calendar.h"

namespace qelt::server {
namespace {

constexpr std::string_view kDefaultUsers =
    "# name|password|locked (0/1)|expires (YYYYMMDD, 0 = never)|last history id sent|\n"
    "demo|demo|0|0|0|\n"
    "trader|trader|0|0|0|\n"
    "analyst|analyst|0|0|0|\n"
    "locked|locked|1|0|0|\n"
    "expired|expired|0|20200101|0|\n";

/// Texts that could not be written back into the file (or sent in a login) are refused.
bool UsableText(std::string_view text) {
    if (text.empty() || text.size() > 64) return false;
    for (char c : text)
        if (c == '|' || c == ':' || c == '\n' || c == '\r' || c == '#') return false;
    return true;
}

}  // namespace

std::string_view VerdictText(Verdict v) {
    switch (v) {
        case Verdict::Ok:
            return "登陆成功";
        case Verdict::UnknownUser:
            return "用户不存在";
        case Verdict::WrongPassword:
            return "密码错误";
        case Verdict::Locked:
            return "帐号被锁定";
        case Verdict::InUse:
            return "帐号正在使用中";
        case Verdict::Expired:
            return "帐号已到期";
    }
    return "";
}

Accounts::Accounts(std::string dataDir) {
    if (dataDir.empty()) {
        Parse(kDefaultUsers);
        return;
    }
    m_path = dataDir + "users.txt";
    auto content = ReadWholeFile(m_path, 16u << 20);
    if (!content) {
        WriteFileAtomic(m_path, kDefaultUsers, 0600);
        Parse(kDefaultUsers);
    } else {
        Parse(*content);
    }
    // The demo account always works, whatever the file says.
    Account& demo = m_accounts[std::string(kDemoUser)];
    demo.password = std::string(kDemoPassword);
    demo.locked = false;
    demo.expires = 0;
}

void Accounts::Parse(std::string_view text) {
    for (auto line : SplitViews(text, "\n")) {
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        auto f = SplitViews(line, "|");
        if (f.size() < 2) continue;
        Account a;
        a.password = std::string(f[1]);
        a.locked = f.size() > 2 && LeadingInt(f[2]) != 0;
        a.expires = f.size() > 3 ? LeadingInt(f[3]) : 0;
        a.historyId = f.size() > 4 ? LeadingInt64(f[4]) : 0;
        m_accounts[std::string(f[0])] = a;
    }
}

bool Accounts::Save() const {
    if (m_path.empty()) return true;
    std::string out(kDefaultUsers.substr(0, kDefaultUsers.find('\n') + 1));
    for (const auto& [name, a] : m_accounts) {
        out += name + "|" + a.password + "|" + (a.locked ? "1" : "0") + "|" + FormatInt(a.expires) + "|" +
               FormatInt(a.historyId) + "|\n";
    }
    return WriteFileAtomic(m_path, out, 0600);
}

const Account* Accounts::Find(const std::string& user) const {
    auto it = m_accounts.find(user);
    return it == m_accounts.end() ? nullptr : &it->second;
}

Verdict Accounts::Check(const std::string& user, const std::string& password, int today, bool inUse) const {
    const Account* a = Find(user);
    if (!a) return Verdict::UnknownUser;
    if (a->password != password) return Verdict::WrongPassword;
    if (a->locked) return Verdict::Locked;
    if (a->expires > 0 && a->expires < today) return Verdict::Expired;
    if (inUse && user != kDemoUser) return Verdict::InUse;
    return Verdict::Ok;
}

int Accounts::DaysLeft(const std::string& user, int today) const {
    const Account* a = Find(user);
    if (!a || a->expires <= 0) return 9999;
    long left = DaysFromDate(a->expires) - DaysFromDate(today);
    return left < 0 ? 0 : static_cast<int>(left > 9999 ? 9999 : left);
}

int Accounts::ChangePassword(const std::string& user, const std::string& oldPassword,
                             const std::string& newPassword) {
    auto it = m_accounts.find(user);
    if (it == m_accounts.end() || user == kDemoUser) return 2;
    if (it->second.password != oldPassword) return 1;
    if (!UsableText(newPassword)) return 2;
    std::string previous = it->second.password;
    it->second.password = newPassword;
    if (!Save()) {
        it->second.password = previous;
        return 2;
    }
    return 0;
}

std::int64_t Accounts::HistoryId(const std::string& user) const {
    const Account* a = Find(user);
    return a ? a->historyId : 0;
}

void Accounts::SetHistoryId(const std::string& user, std::int64_t id) {
    auto it = m_accounts.find(user);
    if (it == m_accounts.end() || it->second.historyId == id) return;
    it->second.historyId = id;
    Save();
}

}  // namespace qelt::server
