#pragma once
/// The application's settings object: values shared by several parts of the client, the
/// shared pens, fonts and colour scheme, the indicator parameters (indi.ini), the
/// self-selected list (mylist.ini), the remembered login (sys.ini), the alarm entries with
/// their switches (alarm.ini) and what the views keep of their own (ViewSettings). One
/// instance, owned by the application.
///
/// Settings live here for the run: each file is read once (at construction, or the views'
/// files when first asked for) and every change is written at once under the settings
/// files' rule (SettingsFile): a file that could not be read is never written over, a failed
/// write keeps the change in memory, and either is told once per file and run (Reports).
///
/// Everything is confined to the user-interface thread except the alarm-window flag (read by
/// the connection's writer thread) and the alarm entries (copied by that thread under their
/// own lock). The session's state (the account typed at login, the online flag, the current
/// server) is the session's, not the settings'.
#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/GoodsKey.h"
#include "data/SelfSelected.h"
#include "data/settings/AlarmFile.h"
#include "data/settings/DisplayScheme.h"
#include "data/settings/IndicatorParameters.h"
#include "data/settings/RememberedLogin.h"
#include "data/settings/SettingsFile.h"
#include "data/settings/SettingsReports.h"
#include "data/settings/ViewSettings.h"
#include "gfx/GfxTypes.h"
#include "net/Requests.h"

namespace qelt {

inline constexpr size_t kSharedPenCount = 11;
inline constexpr size_t kSharedFontCount = 4;

class CQeltCFG : public SelfSelectedSource {
  public:
    /// `programDirectory` is the resolved program directory (see common/ProgramDir.h), with
    /// its trailing "/". Removes what saves cut short by a crash left there, then reads
    /// indi.ini, mylist.ini and alarm.ini.
    explicit CQeltCFG(std::string programDirectory);
    ~CQeltCFG() override;
    CQeltCFG(const CQeltCFG&) = delete;
    CQeltCFG& operator=(const CQeltCFG&) = delete;

    // --- Shared runtime values (user-interface thread) -------------------------------
    bool m_autoUpdate = true;  ///< the check mark of "自动升级"; nothing else reads it
    /// Slots a trading day takes in the intraday chart of goods traded in sections: the
    /// sections of a day (one every two minutes of the four hours of sessions).
    int m_slotsPerDay = 120;

    /// Read by the connection's writer thread. Kept in alarm.ini when changed through
    /// SetAlarmWindowOn.
    std::atomic<bool> m_alarmWindowOn{false};

    /// The 52 indicator parameters; read by the charts at every repaint.
    IndicatorParameters m_indicators;

    // --- Program directory and derived paths ------------------------------------------
    const std::string& ProgramDirectory() const { return m_programDirectory; }
    /// "<dir>his/qelt.db".
    std::string DatabasePath() const { return m_programDirectory + "his/qelt.db"; }

    // --- Pens, fonts, display scale -----------------------------------------------------
    /// Two dotted red user-styled pens ({1,5} and {1,1}, flat ends), then nine solid ones.
    const std::array<Pen, kSharedPenCount>& Pens() const { return m_pens; }
    /// 宋体 14/400, 16×scale/700, 18/400, 18×scale/700.
    const std::array<Font, kSharedFontCount>& Fonts() const { return m_fonts; }
    double DisplayScale() const { return m_displayScale; }
    /// Changes the scale and rebuilds the scaled fonts.
    void SetDisplayScale(double scale);

    /// The display colour scheme's two sets: the window's, and the paper's. Neither is ever
    /// "in force": whoever paints a view hands it the one it paints for.
    const DisplayScheme& ScreenScheme() const { return m_screenScheme; }
    const DisplayScheme& PrintScheme() const { return m_printScheme; }

    // --- Indicator parameters (indi.ini) -------------------------------------------------
    void SetIndicatorDefaults() { m_indicators.SetDefaults(); }
    /// Writes the table to indi.ini (the indicator dialog's 确定); false when it was not
    /// written (the values hold for the run; reported once).
    bool SaveIndicators();

    // --- Self-selected list (mylist.ini) -------------------------------------------------
    /// The entries of the run, in the order they were added.
    std::vector<SelfSelectedEntry> ReadSelfSelected() const override;
    /// Appends the entry unless an equal one (all three texts) is there, and rewrites
    /// mylist.ini. The entry holds for the run either way; false when the file was not
    /// written (it could not be read at start, or the write failed: reported once).
    bool AddSelfSelected(const GoodsKey& goods, const std::string& category);
    /// Removes the entries equal to it in all three texts and rewrites mylist.ini (a missing
    /// file becomes an empty one); false as for AddSelfSelected.
    bool RemoveSelfSelected(const GoodsKey& goods, const std::string& category);

    // --- What the views keep of their own ----------------------------------------------------
    const ViewSettings& Views() const { return m_views; }
    ViewSettings& Views() { return m_views; }

    // --- Remembered login (sys.ini) ------------------------------------------------------
    std::optional<RememberedLogin> ReadLogin() const;
    /// Remembers the account typed at login.
    bool SaveLogin(const std::string& user, const std::string& password) const;
    bool ForgetLogin() const;

    // --- Settings files that could not be written or read --------------------------------
    /// Every settings file's failures, reported once per file and run.
    SettingsReports& Reports() { return m_reports; }

    // --- Alarm entries and switches (alarm.ini) ------------------------------------------
    // Entries are read on any thread; every change happens on the interface thread and
    // rewrites alarm.ini. A change that could not be written stays in effect for this run
    // and is reported (Reports); the result says whether it was written. An alarm.ini that
    // exists but could not be read at construction is never written over: the run works on
    // the defaults in memory. Lines of the file that are not entries the run knows (damaged
    // ones, entries past the 1,000th) are written back as they were read, after the entries.
    std::vector<AlarmEntry> AlarmEntries() const;
    /// Appends the entry in canonical form; an entry alarm.ini could not keep (see
    /// CanonicalAlarmEntry) is refused: nothing changes and the result is false.
    bool AddAlarmEntry(AlarmEntry entry);
    /// Removes the entries at the given positions (positions past the end are ignored).
    bool RemoveAlarmEntries(const std::set<size_t>& positions);
    bool SetAlarmWindowOn(bool on);
    /// 提示音: a fired alarm raises the alarm window and plays a sound.
    bool AlarmSound() const { return m_alarmSound; }
    bool SetAlarmSound(bool on);
    /// The "alarm:" queries of every entry in order (see net/Requests.h: one or two per entry
    /// that has a threshold), while the alarm window is on; empty while it is off.
    std::vector<std::string> AlarmQueries() const;

  private:
    void BuildFonts();
    void LoadIndicators();
    void LoadSelfSelected();
    void LoadAlarms();
    bool SaveSelfSelected();
    bool SaveAlarms();

    std::string m_programDirectory;
    SettingsReports m_reports;  ///< before the files: they report through it
    double m_displayScale = 1.0;
    std::array<Pen, kSharedPenCount> m_pens;
    std::array<Font, kSharedFontCount> m_fonts;
    DisplayScheme m_screenScheme = DisplayScheme::Screen();
    DisplayScheme m_printScheme = DisplayScheme::Print();

    SettingsFile m_indicatorFile;
    SettingsFile m_selfSelectedFile;
    std::vector<SelfSelectedEntry> m_selfSelected;
    ViewSettings m_views;

    SettingsFile m_alarmFile;
    mutable std::mutex m_alarmMutex;
    std::vector<AlarmEntry> m_alarms;
    std::vector<std::string> m_alarmLinesKept;
    bool m_alarmSound = false;
};

}  // namespace qelt
