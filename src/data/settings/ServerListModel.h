#pragma once
/// The rules of the communication settings dialog ("通信设置") and its entry dialog
/// ("行情服务器"), without widgets. The list is three parallel vectors (names, addresses,
/// ports) that always change together; config.ini is written only by Save, and never when it
/// is there but could not be read (SettingsFile's rule; the dialog tells the user itself).
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/ServerList.h"
#include "data/settings/SettingsFile.h"

namespace qelt {

class ServerListModel {
  public:
    /// Reads "<dir>config.ini" (a missing file, or one that cannot be read, gives an empty list).
    explicit ServerListModel(std::string programDirectory);
    /// config.ini is there but could not be read: Save refuses to write over it.
    bool Unreadable() const { return m_file.Unreadable(); }

    size_t Count() const { return m_names.size(); }
    ServerEntry Entry(size_t row) const;
    std::vector<ServerEntry> Entries() const;

    /// Appends; returns the new last row (to be selected).
    size_t Add(const ServerEntry& entry);
    /// Replaces the entry at `row` (ignored when out of range).
    void Modify(size_t row, const ServerEntry& entry);
    /// Removes exactly the entries of the selected rows.
    void Delete(const std::set<size_t>& selected);
    /// Moves every selected row one place up; the first row, and a row blocked by a selected
    /// row above it that could not move, stay. Returns the rows to select afterwards.
    std::set<size_t> MoveUp(const std::set<size_t>& selected);
    /// The same downwards.
    std::set<size_t> MoveDown(const std::set<size_t>& selected);

    /// Rewrites config.ini with one "name:address:port\r\n" line per entry. False when it
    /// could not be read at opening or could not be written (the old file stays whole).
    bool Save();

    /// The entry dialog's check: "请输入服务器名称！", "请输入服务器地址！" or
    /// "请输入服务器端口！" for the first empty field, nothing when all are filled. The port
    /// is not checked for being numeric.
    static std::optional<std::string_view> Validate(const ServerEntry& entry);

    /// The port an added entry starts with.
    static constexpr std::string_view kDefaultPort = "3500";

  private:
    void Swap(size_t a, size_t b);

    SettingsFile m_file;
    std::vector<std::string> m_names;
    std::vector<std::string> m_addresses;
    std::vector<std::string> m_ports;
};

}  // namespace qelt
