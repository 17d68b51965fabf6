#include "PasswordFlow.h"

#include "common/DiagnosticLog.h"
#include "common/Numbers.h"
#include "common/Text.h"
#include "net/Requests.h"

namespace qelt {

std::string PasswordFlow::Submit(const std::string& oldPassword, const std::string& newPassword,
                                 const std::string& confirmation) {
    if (m_waiting) return {};
    const std::string_view oldText = TrimRight(oldPassword);
    const std::string_view newText = TrimRight(newPassword);
    const std::string_view confirmText = TrimRight(confirmation);
    const char* problem = nullptr;
    if (oldText.empty())
        problem = "请输入旧密码!";
    else if (newText.empty())
        problem = "请输入新密码!";
    else if (confirmText.empty())
        problem = "请输入确认密码!";
    else if (newText != confirmText)
        problem = "您输入的新密码和确认密码不同!";
    if (problem) {
        m_view.ShowMessage(problem);
        return {};
    }
    Log("password change requested for " + m_user);
    m_waiting = true;
    m_view.EnableButtons(false);
    return PasswordRequest(m_user, oldText, newText);
}

void PasswordFlow::OnAnswer(int result) {
    m_waiting = false;
    Log("password change answered " + FormatInt(result) +
        (result == 0   ? ": done"
         : result == 1 ? ": old password wrong"
                       : ": failed"));
    if (result == 0) {
        m_view.ShowMessage("密码修改完成!");
        m_view.Close(true);
        return;
    }
    m_view.ShowMessage(result == 1 ? "旧密码错误!" : "修改密码出错!\r\n请重试!");
    m_view.EnableButtons(true);
}

}  // namespace qelt
