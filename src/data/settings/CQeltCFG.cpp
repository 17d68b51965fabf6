#include "data/settings/CQeltCFG.h"

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
             Pen::Solid(1, 0xFF00FF), Pen::Solid(1, 0xFFFF00)} {
    BuildFonts();
    LoadIndicators();
    std::optional<AlarmSettings> alarms = LoadAlarmFile(m_programDirectory);
    if (!alarms) {
        m_alarmFileReadable = false;
        m_reports.ReadFailed(kAlarmFileName);
        return;
    }
    m_alarms = std::move(alarms->entries);
    m_alarmWindowOn = alarms->windowOn;
    m_alarmSound = alarms->sound;
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

std::vector<SelfSelectedEntry> CQeltCFG::ReadSelfSelected() const {
    return ReadSelfSelectedFile(m_programDirectory);
}

bool CQeltCFG::AddSelfSelected(const GoodsKey& goods, const std::string& category) {
    return AddSelfSelectedEntry(m_programDirectory, {goods, category});
}

bool CQeltCFG::RemoveSelfSelected(const GoodsKey& goods, const std::string& category) {
    return RemoveSelfSelectedEntry(m_programDirectory, {goods, category});
}

std::optional<RememberedLogin> CQeltCFG::ReadLogin() const { return ReadRememberedLogin(m_programDirectory); }

bool CQeltCFG::SaveLogin(const std::string& user, const std::string& password) const {
    return WriteRememberedLogin(m_programDirectory, {user, password});
}

bool CQeltCFG::ForgetLogin() const { return ForgetRememberedLogin(m_programDirectory); }

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
    // A file that could not be read holds entries this run does not know: never replace it.
    if (!m_alarmFileReadable) return false;
    // The file is written outside the entries' lock: the polling thread never waits for a disk.
    AlarmSettings settings{AlarmEntries(), m_alarmWindowOn.load(), m_alarmSound};
    if (WriteAlarmFile(m_programDirectory, settings)) return true;
    m_reports.WriteFailed(kAlarmFileName);
    return false;
}

std::vector<std::string> CQeltCFG::AlarmQueries() const {
    if (!m_alarmWindowOn.load()) return {};
    std::vector<std::string> queries;
    for (const AlarmEntry& e : AlarmEntries())
        for (std::string& query : qelt::AlarmQueries(e)) queries.push_back(std::move(query));
    return queries;
}

}  // namespace qelt
