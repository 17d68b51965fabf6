#pragma once
/// Answers the clients' messages. Takes one complete message (GBK, without "|END") of one
/// session and appends the framed GBK replies to that session's output. Never trusts the
/// message: fields are bounded, missing ones read as empty, unknown kinds are ignored.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "server/ServerState.h"

namespace qelt::server {

/// What the handler knows of a connection.
struct Session {
    std::uint64_t id = 0;
    std::string user;
    bool loggedIn = false;
    bool historySent = false;      ///< the "his" records went out in this session
    bool closeAfterFlush = false;  ///< the connection ends once its output is written
};

/// The connections as the handler needs to see them (the event loop implements it).
class SessionControl {
  public:
    virtual ~SessionControl() = default;
    /// True when another logged-in session (not `except`) belongs to `user`.
    virtual bool UserHasSession(const std::string& user, std::uint64_t except) = 0;
    /// Sends "dis:" to every logged-in session of `user` but `except` and ends them.
    virtual size_t DisconnectUser(const std::string& user, std::uint64_t except) = 0;
    /// Sends framed bytes to every logged-in session.
    virtual size_t Broadcast(const std::string& framedGbk) = 0;
};

/// "his" records per message.
inline constexpr size_t kHistoryChunk = 250;

class RequestHandler {
  public:
    RequestHandler(ServerState& state, SessionControl& control) : m_state(state), m_control(control) {}

    /// One client message.
    void Handle(Session& session, std::string_view gbkMessage, std::string& out);
    /// One message of the loopback admin port: "dis:USER", "notice:TEXT".
    void HandleAdmin(std::string_view gbkMessage, std::string& out);

  private:
    void Login(Session& s, std::string_view body, std::string& out);
    void Line(std::string_view body, std::string& out);
    void Real(Session& s, std::string_view body, std::string& out);
    void PastTrades(const std::string& key, const std::string& qualifier, const Quote* q, std::string& out);
    /// Whether the contract trades continuously (its past days get continuous trades).
    static bool TradesContinuously(const std::string& key, const Quote* q);
    void PushHistory(Session& s, std::string& out);
    void Alarm(Session& s, std::string_view body, std::string& out);
    void Password(Session& s, std::string_view body, std::string& out);
    const std::string& ListWire();
    const std::string& CategoryWire();

    ServerState& m_state;
    SessionControl& m_control;
    std::uint64_t m_listVersion = 0;
    std::string m_listWire;
    std::string m_categoryWire;
    std::map<std::string, std::pair<std::uint64_t, std::string>> m_recentTrades;
};

/// Appends utf8 + "|END" in GBK.
void AppendReply(std::string& out, std::string_view utf8);
/// GBK to UTF-8, without iconv for plain ASCII.
std::string WireToUtf8(std::string_view gbk);

}  // namespace qelt::server
