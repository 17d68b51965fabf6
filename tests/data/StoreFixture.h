#pragma once
// Building board replies and a store wired to a queue poster and a recording sender.
#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/Poster.h"
#include "data/CQeltData.h"
#include "net/MessageSink.h"
#include "support/QueuePoster.h"

namespace qelt::test {

/// One "list" record with every field filled (an empty field would swallow the rest).
struct ListRow {
    std::array<std::string, kListFields> f;

    ListRow(std::string goodsNo, std::string dueDate) {
        for (auto& field : f) field = "0";
        Set(1, std::move(dueDate));
        Set(10, std::move(goodsNo));
        Set(12, "10");
        Set(16, "10");
        Set(17, "3");
        Set(20, "20060601");
    }
    ListRow& Set(std::size_t number, std::string value) {
        f[number - 1] = std::move(value);
        return *this;
    }
    ListRow& Price(std::string price, std::string preClose) {
        return Set(12, std::move(price)).Set(16, std::move(preClose));
    }
    ListRow& State(std::string state) { return Set(17, std::move(state)); }
    std::string Text() const {
        std::string text;
        for (const auto& field : f) text += field + "|";
        return text;
    }
};

inline std::string ListReply(const std::vector<ListRow>& rows) {
    std::string text = "list:";
    for (const auto& row : rows) text += row.Text() + "|";
    return text;
}

/// Records what goes out; `onSend` runs before recording (to block or observe).
class RecordingSender : public MessageSender {
  public:
    void Send(const std::string& message) override {
        if (onSend) onSend(message);
        std::lock_guard lock(m_mutex);
        m_sent.push_back(message);
    }
    std::vector<std::string> Sent() const {
        std::lock_guard lock(m_mutex);
        return m_sent;
    }
    std::function<void(const std::string&)> onSend;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_sent;
};

inline constexpr WindowId kView = 7;

struct StoreFixture {
    StoreFixture() {
        targets.notification = kView;
        data.SetSender(&sender, [this] { return online.load(); });
    }
    /// Categories "0101" 生丝 (ordinary) and "0121" 干茧 (flagged), then "0000".
    void Categories() { data.Dispatch("category:0101|生丝|0||0121|干茧|1||0009|指数|0||"); }

    QueuePoster poster;
    MessageTargets targets;
    RecordingSender sender;
    std::atomic<bool> online{true};
    CQeltData data{poster, targets};
};

/// True when another thread can take the store lock within a second (it is not held).
inline bool StoreIsFree(const CQeltData& data) {
    auto read = std::async(std::launch::async, [&data] { return data.MainCount(); });
    return read.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
}

}  // namespace qelt::test
