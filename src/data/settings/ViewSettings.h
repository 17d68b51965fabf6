#pragma once
/// What the views keep of their own between runs, held here for the whole run: the board's
/// column slots (head.ini), the K-line view's panes under the main chart (winfile.ini), the
/// formulas over its main chart (mainformula.ini), its price scale (logscale.ini) and its period
/// (klineperiod.ini), the multi-goods view's contracts (mutiview.ini).
///
/// Each file is read the first time its value is asked for and never again this run: a view
/// made after a switch reads the value from here, so a change whose file could not be written
/// holds until the program ends. Every change is written at once under the settings files'
/// rule (SettingsFile: an unreadable file is never written over; failures told once).
///
/// Interface thread only.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/settings/MultiGoodsFile.h"
#include "data/settings/SettingsFile.h"

namespace qelt {

class SettingsReports;

class ViewSettings {
  public:
    /// `programDirectory` ends in "/".
    ViewSettings(const std::string& programDirectory, SettingsReports& reports);

    /// head.ini's text (UTF-8, "title|width|" per slot); nothing while there is no such file.
    const std::optional<std::string>& BoardColumns() const { return m_boardColumns.Get(); }
    bool SetBoardColumns(std::string utf8Text) { return m_boardColumns.Set(std::move(utf8Text)); }

    /// The indicator of each pane under the K-line main chart; nothing while there is no
    /// winfile.ini (the view's own layout stands).
    const std::optional<std::vector<int>>& KLinePanes() const { return m_kLinePanes.Get(); }
    bool SetKLinePanes(std::vector<int> lowerPaneIds) { return m_kLinePanes.Set(std::move(lowerPaneIds)); }

    /// The ids of the user's formulas drawn over the K-line main chart, in the order they were
    /// put there; none while there is no mainformula.ini.
    const std::vector<int>& KLineMainFormulas() const { return m_kLineMainFormulas.Get(); }
    bool SetKLineMainFormulas(std::vector<int> ids) { return m_kLineMainFormulas.Set(std::move(ids)); }

    /// Whether the K-line main chart's price scale is logarithmic.
    bool LogScale() const { return m_logScale.Get(); }
    bool SetLogScale(bool logarithmic) { return m_logScale.Set(logarithmic); }

    /// The K-line view's period (1 day .. 8 the 60-minute bars; KLinePeriod); the day while
    /// there is no klineperiod.ini.
    int KLinePeriod() const { return m_kLinePeriod.Get(); }
    bool SetKLinePeriod(int period) { return m_kLinePeriod.Set(period); }

    /// The contracts the user chose for the multi-goods view's cells.
    const MultiGoodsChoices& MultiGoods() const { return m_multiGoods.Get(); }
    bool SetMultiGoods(const MultiGoodsChoices& choices) { return m_multiGoods.Set(choices); }

  private:
    /// A value and its file: read at the first Get, written whole at every Set (the value
    /// holds whether or not the write succeeds).
    template <class T>
    class Kept {
      public:
        using Parse = T (*)(const std::optional<std::string>& bytes);
        using Format = std::string (*)(const T& value);
        Kept(SettingsFile file, Parse parse, Format format)
            : m_file(std::move(file)), m_parse(parse), m_format(format) {}
        const T& Get() const {
            if (!m_value) m_value = m_parse(m_file.Read());
            return *m_value;
        }
        bool Set(T value) {
            Get();  // a file never read could be one that cannot be: find out before writing
            m_value = std::move(value);
            return m_file.Write(m_format(*m_value));
        }

      private:
        mutable SettingsFile m_file;
        mutable std::optional<T> m_value;
        Parse m_parse;
        Format m_format;
    };

    Kept<std::optional<std::string>> m_boardColumns;
    Kept<std::optional<std::vector<int>>> m_kLinePanes;
    Kept<std::vector<int>> m_kLineMainFormulas;
    Kept<bool> m_logScale;
    Kept<int> m_kLinePeriod;
    Kept<MultiGoodsChoices> m_multiGoods;
};

}  // namespace qelt
