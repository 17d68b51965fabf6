#pragma once
// Fakes around the session: a connection that records what is written on each connection
// it makes, the session's host, a login dialog and timers the test runs when it says so.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Session.h"

namespace qelt::test {

/// Timers (the session's and the dialog's) that run when the test says so.
struct Timers : Scheduler {
    std::vector<std::function<void()>> due;
    std::vector<int> pauses;  ///< every pause asked for, in order
    void After(int milliseconds, std::function<void()> then) override {
        pauses.push_back(milliseconds);
        due.push_back(std::move(then));
    }
    void Run() {
        while (!due.empty()) {
            auto next = std::move(due.front());
            due.erase(due.begin());
            next();
        }
    }
};

/// A connection that writes at once: `wires[k]` is what connection k received, in order,
/// beginning with the first message it was opened with. What is sent while no connection
/// is open is never written (`unsent`). `events` is the order of the session's calls.
struct FakeConnection : Connection {
    struct Pending {
        std::string address;
        int port = 0;
        std::string first;
        std::function<void(bool)> done;
    };
    std::vector<std::vector<std::string>> wires;
    std::vector<std::string> unsent;
    std::vector<std::string> events;
    std::optional<Pending> pending;
    bool connected = false;
    bool polling = false;
    std::vector<std::string> standing;
    bool withAlarms = false;

    void Connect(const std::string& address, int port, std::string first,
                 std::function<void(bool)> done) override {
        events.push_back("connect " + first);
        pending = Pending{address, port, std::move(first), std::move(done)};
    }
    void CancelConnect() override { pending.reset(); }
    bool IsConnected() const override { return connected; }
    void Send(const std::string& message) override { Write(message); }
    void SendPaced(std::vector<std::string> messages) override {
        for (const std::string& m : messages) Write(m);
    }
    void Poll(std::vector<std::string> requests, bool alarms) override {
        std::string joined;
        for (const std::string& r : requests) joined += r;
        events.push_back("poll " + joined + (alarms ? "+alarms" : ""));
        polling = true;
        standing = std::move(requests);
        withAlarms = alarms;
    }
    void StopPolling() override {
        if (polling) events.push_back("stop");
        polling = false;
    }
    void Close() override {
        events.push_back("close");
        connected = polling = false;
    }

    // ---- the test's side ----
    /// The connect under way ends: connected (a new wire, its first message on it) or not.
    void Finish(bool ok) {
        ASSERT_TRUE(pending.has_value()) << "no connect under way";
        Pending p = std::move(*pending);
        pending.reset();
        if (ok) {
            connected = true;
            wires.push_back({p.first});
        }
        p.done(ok);
    }
    /// One polling pass on the open connection, when polling is on.
    void Pass() {
        if (!connected || !polling) return;
        for (const std::string& r : standing) wires.back().push_back(r);
        if (withAlarms) wires.back().push_back("alarm:");
    }
    /// The peer goes away: as the socket does, the connection stops polling.
    void Drop() { connected = polling = false; }

  private:
    void Write(const std::string& m) {
        if (connected)
            wires.back().push_back(m);
        else
            unsent.push_back(m);
    }
};

struct FakeHost : SessionHost {
    int loginCode = 0;
    std::vector<GoodsKey> keys{{"0101", "20070325"}};
    std::vector<std::string> messages;
    int changes = 0, resets = 0;
    std::string updater;
    std::string ResolveAddress(const std::string& text) override { return text; }
    int LoginCode() override { return loginCode; }
    void ResetStore() override { ++resets; }
    std::vector<GoodsKey> MainKeys() override { return keys; }
    void RememberLogin(bool, const std::string&, const std::string&) override {}
    void StartUpdater(const std::string& argument) override { updater = argument; }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ":" + text);
    }
    void SessionChanged() override { ++changes; }
};

struct FakeLoginDisplay : LoginDisplay {
    explicit FakeLoginDisplay(Timers& timers) : timers(timers) {}
    Timers& timers;
    std::vector<std::string> statuses, messages;
    int progress = 0, ended = -1;
    bool buttonEnabled = true;
    std::vector<LoginField> focused;
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgress(int value) override { progress = value; }
    void EnableLoginButton(bool enabled) override { buttonEnabled = enabled; }
    void FocusField(LoginField field) override { focused.push_back(field); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.push_back(caption + ":" + text);
    }
    void After(int milliseconds, std::function<void()> then) override {
        timers.After(milliseconds, std::move(then));
    }
    void EndDialog(bool ok) override { ended = ok; }
};

}  // namespace qelt::test
