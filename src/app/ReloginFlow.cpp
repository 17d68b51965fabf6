#include "ReloginFlow.h"

#include "common/DiagnosticLog.h"
#include "common/Numbers.h"

namespace qelt {

void ReloginFlow::OnReconnect(long attemptsMade) {
    m_services.StopPolling();
    m_services.MarkDisconnected();
    if (attemptsMade + 1 > 3) {
        Log("the server disconnected this session: no re-login");
        m_services.CloseSocket();
        m_services.ShowMessage("管理员断开了你和服务器的连接！", "系统提示");
        return;
    }
    if (m_running) return;  // one procedure at a time: the attempt under way decides
    m_running = true;
    Attempt(static_cast<int>(attemptsMade) + 1);
}

void ReloginFlow::Attempt(int i) {
    Log("re-login attempt " + FormatInt(i) + " of 3");
    m_services.Connect([this, i](bool connected) { AfterAttempt(i, connected); });
}

void ReloginFlow::AfterAttempt(int i, bool connected) {
    if (connected) {
        Log("re-login attempt " + FormatInt(i) + ": connected, login sent");
        m_services.SendRelogin();
        m_services.StartPolling();
        m_running = false;
        return;
    }
    Log("re-login attempt " + FormatInt(i) + " failed");
    ++i;
    m_services.After(1000, [this, i] {
        if (i <= 3) {
            Attempt(i);
            return;
        }
        m_running = false;
        Log("re-login given up: offline");
        m_services.SetOffline();
        m_services.ShowMessage("和服务器断开了连接！", "系统提示");
    });
}

}  // namespace qelt
