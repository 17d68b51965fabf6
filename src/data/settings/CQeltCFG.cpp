#include "data/settings/CQeltCFG.h"

#include <algorithm>

#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "common/Gbk.h"
#include "common/Numbers.h"
#include "common/ProgramDir.h"
#include "data/settings/SelfSelectedFile.h"
#include "net/Requests.h"

namespace qelt {
namespace {

Pen DottedRed(std::vector<int> dashes) {
    return Pen{PenStyle::User, 1, Rgb(255, 0, 0), std::move(dashes), true};
}

int Scaled(int height, double scale) { return static_cast<int>(height * scale); }

}  // namespace

CQeltCFG::CQeltCFG(std::string programDirectory)
    : m_programDirectory(WithTrailingSlash(std::move(programDirectory))),
      m_pens{DottedRed({1, 5}),       DottedRed({1, 1}),       Pen::Solid(1, 0x0000FF),
             Pen::Solid(2, 0xFFFFFF), Pen::Solid(1, 0x0000FF), Pen::Solid(1, 0x80FF80),
             Pen::Solid(1, 0xFF0000), Pen::Solid(1, 0xFFFFFF), Pen::Solid(1, 0x00FFFF),
             Pen::Solid(1, 0xFF00FF), Pen::Solid(1, 0xFFFF00)},
      m_indicatorFile(m_programDirectory, kIndicatorFileName, kMaxIndicatorFileBytes, &m_reports),
      m_selfSelectedFile(m_programDirectory, kSelfSelectedFileName, kMaxSelfSelectedFileBytes, &m_reports),
      m_views(m_programDirectory, m_reports),
      m_alarmFile(m_programDirectory, kAlarmFileName, kMaxAlarmFileBytes, &m_reports) {
    // Before anything is read: the debris of saves a crash cut short is never a settings file.
    RemoveStaleTemporaries(m_programDirectory);
    BuildFonts();
    LoadIndicators();
    LoadSelfSelected();
    LoadAlarms();
}

CQeltCFG::~CQeltCFG() = default;

void CQeltCFG::BuildFonts() {
    m_fonts = {Font{"宋体", 14, 400}, Font{"宋体", Scaled(16, m_displayScale), 700}, Font{"宋体", 18, 400},
               Font{"宋体", Scaled(18, m_displayScale), 700}};
}

void CQeltCFG::SetDisplayScale(double scale) {
    m_displayScale = scale;
    BuildFonts();
}

void CQeltCFG::LoadIndicators() {
    // A missing or unreadable file keeps the defaults.
    m_indicators.SetFromText(m_indicatorFile.Read().value_or(""));
}

bool CQeltCFG::SaveIndicators() { return m_indicatorFile.Write(m_indicators.Text()); }

void CQeltCFG::LoadSelfSelected() {
    if (std::optional<std::string> bytes = m_selfSelectedFile.Read())
        m_selfSelected = ParseSelfSelected(GbkToUtf8(*bytes));
}

bool CQeltCFG::SaveSelfSelected() {
    return m_selfSelectedFile.Write(Utf8ToGbk(FormatSelfSelected(m_selfSelected)));
}

std::vector<SelfSelectedEntry> CQeltCFG::ReadSelfSelected() const { return m_selfSelected; }

bool CQeltCFG::AddSelfSelected(const GoodsKey& goods, const std::string& category) {
    const SelfSelectedEntry entry{goods, category};
    if (std::find(m_selfSelected.begin(), m_selfSelected.end(), entry) != m_selfSelected.end()) return true;
    m_selfSelected.push_back(entry);
    return SaveSelfSelected();
}

bool CQeltCFG::RemoveSelfSelected(const GoodsKey& goods, const std::string& category) {
    std::erase(m_selfSelected, SelfSelectedEntry{goods, category});
    return SaveSelfSelected();
}

std::optional<RememberedLogin> CQeltCFG::ReadLogin() const { return ReadRememberedLogin(m_programDirectory); }

bool CQeltCFG::SaveLogin(const std::string& user, const std::string& password) const {
    return WriteRememberedLogin(m_programDirectory, {user, password});
}

bool CQeltCFG::ForgetLogin() const { return ForgetRememberedLogin(m_programDirectory); }

void CQeltCFG::LoadAlarms() {
    const std::optional<std::string> bytes = m_alarmFile.Read();
    if (!bytes) return;  // none yet, or one this run leaves alone: the defaults
    AlarmSettings alarms = ParseAlarmFile(GbkToUtf8(*bytes));
    if (!alarms.kept.empty())
        Log("alarm.ini: " + FormatInt(static_cast<std::int64_t>(alarms.kept.size())) +
            " lines are not entries this run takes; they stay in the file");
    m_alarms = std::move(alarms.entries);
    m_alarmLinesKept = std::move(alarms.kept);
    m_alarmWindowOn = alarms.windowOn;
    m_alarmSound = alarms.sound;
}

std::vector<AlarmEntry> CQeltCFG::AlarmEntries() const {
    std::lock_guard lock(m_alarmMutex);
    return m_alarms;
}

bool CQeltCFG::AddAlarmEntry(AlarmEntry entry) {
    std::optional<AlarmEntry> kept = CanonicalAlarmEntry(entry);
    if (!kept) return false;
    {
        std::lock_guard lock(m_alarmMutex);
        m_alarms.push_back(std::move(*kept));
    }
    return SaveAlarms();
}

bool CQeltCFG::RemoveAlarmEntries(const std::set<size_t>& positions) {
    {
        std::lock_guard lock(m_alarmMutex);
        for (auto it = positions.rbegin(); it != positions.rend(); ++it)
            if (*it < m_alarms.size()) m_alarms.erase(m_alarms.begin() + static_cast<std::ptrdiff_t>(*it));
    }
    return SaveAlarms();
}

bool CQeltCFG::SetAlarmWindowOn(bool on) {
    m_alarmWindowOn = on;
    return SaveAlarms();
}

bool CQeltCFG::SetAlarmSound(bool on) {
    m_alarmSound = on;
    return SaveAlarms();
}

bool CQeltCFG::SaveAlarms() {
    // The file is written outside the entries' lock: the polling thread never waits for a disk.
    const AlarmSettings settings{AlarmEntries(), m_alarmWindowOn.load(), m_alarmSound, m_alarmLinesKept};
    return m_alarmFile.Write(Utf8ToGbk(FormatAlarmFile(settings)));
}

std::vector<std::string> CQeltCFG::AlarmQueries() const {
    if (!m_alarmWindowOn.load()) return {};
    std::vector<std::string> queries;
    for (const AlarmEntry& e : AlarmEntries())
        for (std::string& query : qelt::AlarmQueries(e)) queries.push_back(std::move(query));
    return queries;
}

}  // namespace qelt
