#include "data/settings/ServerListModel.h"

#include <utility>

#include "common/Gbk.h"
#include "data/settings/SettingsReports.h"

namespace qelt {

namespace {

// A server list is a few lines; anything much bigger is not ours.
constexpr std::size_t kMaxServerListBytes = 1u << 20;

}  // namespace

ServerListModel::ServerListModel(std::string programDirectory)
    : m_file(std::move(programDirectory), kServerListFileName, kMaxServerListBytes, nullptr) {
    if (const std::optional<std::string> bytes = m_file.Read())
        for (ServerEntry& e : ParseServerList(GbkToUtf8(*bytes))) Add(e);
}

// The rows are checked where they come in (a selection may name rows no longer there); the
// checked accesses below turn a row that slipped past into an error, never a stray write.

ServerEntry ServerListModel::Entry(size_t row) const {
    if (row >= Count()) return {};
    return {m_names.at(row), m_addresses.at(row), m_ports.at(row)};
}

std::vector<ServerEntry> ServerListModel::Entries() const {
    std::vector<ServerEntry> out;
    for (size_t i = 0; i < Count(); ++i) out.push_back(Entry(i));
    return out;
}

size_t ServerListModel::Add(const ServerEntry& entry) {
    m_names.push_back(entry.name);
    m_addresses.push_back(entry.address);
    m_ports.push_back(entry.port);
    return Count() - 1;
}

void ServerListModel::Modify(size_t row, const ServerEntry& entry) {
    if (row >= Count()) return;
    m_names.at(row) = entry.name;
    m_addresses.at(row) = entry.address;
    m_ports.at(row) = entry.port;
}

void ServerListModel::Delete(const std::set<size_t>& selected) {
    // From the last row backwards, so earlier indices stay valid.
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        size_t row = *it;
        if (row >= Count()) continue;
        auto at = static_cast<std::ptrdiff_t>(row);
        m_names.erase(m_names.begin() + at);
        m_addresses.erase(m_addresses.begin() + at);
        m_ports.erase(m_ports.begin() + at);
    }
}

void ServerListModel::Swap(size_t a, size_t b) {
    std::swap(m_names.at(a), m_names.at(b));
    std::swap(m_addresses.at(a), m_addresses.at(b));
    std::swap(m_ports.at(a), m_ports.at(b));
}

std::set<size_t> ServerListModel::MoveUp(const std::set<size_t>& selected) {
    std::set<size_t> after;
    for (size_t row : selected) {  // ascending: a row moves into the place its upper neighbour left
        if (row >= Count()) continue;
        if (row == 0 || after.count(row - 1)) {
            after.insert(row);
            continue;
        }
        Swap(row, row - 1);
        after.insert(row - 1);
    }
    return after;
}

std::set<size_t> ServerListModel::MoveDown(const std::set<size_t>& selected) {
    std::set<size_t> after;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        size_t row = *it;
        if (row >= Count()) continue;
        if (row + 1 == Count() || after.count(row + 1)) {
            after.insert(row);
            continue;
        }
        Swap(row, row + 1);
        after.insert(row + 1);
    }
    return after;
}

bool ServerListModel::Save() { return m_file.Write(Utf8ToGbk(FormatServerList(Entries()))); }

std::optional<std::string_view> ServerListModel::Validate(const ServerEntry& entry) {
    if (entry.name.empty()) return "请输入服务器名称！";
    if (entry.address.empty()) return "请输入服务器地址！";
    if (entry.port.empty()) return "请输入服务器端口！";
    return std::nullopt;
}

}  // namespace qelt
