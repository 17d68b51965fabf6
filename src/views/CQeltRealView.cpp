#include "views/CQeltRealView.h"

#include <algorithm>

#include "common/Commands.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "net/Requests.h"
#include "views/StandingRequests.h"
#include "views/ViewKinds.h"
#include "views/intraday/MinuteSeries.h"

namespace qelt {

CQeltRealView::CQeltRealView(ViewServices& services, ChinaClock clock, int argument)
    : CQeltRealView(services, std::move(clock), argument, false) {}

CQeltRealView::CQeltRealView(ViewServices& services, ChinaClock clock, int argument, bool bound)
    : m_services(services),
      m_clock(clock ? std::move(clock) : ChinaClock(SystemChinaTime)),
      m_bound(bound),
      m_argument(argument) {}

std::unique_ptr<CQeltRealView> CQeltRealView::BoundCell(ViewServices& services, ChinaClock clock,
                                                        GoodsKey goods) {
    std::unique_ptr<CQeltRealView> cell(new CQeltRealView(services, std::move(clock), kChartOnly, true));
    cell->m_mode = kChartOnly;
    cell->m_key = std::move(goods);
    return cell;
}

void CQeltRealView::OnInitialUpdate() {
    if (!m_bound) {
        m_mode = m_argument == kHistoryReview || m_argument == kChartOnly ? m_argument : kNormal;
        TakeCurrentGoods();
    } else {
        RefreshQuote();
    }
    m_services.PushHistory();
    Refresh();
}

void CQeltRealView::TakeCurrentGoods() {
    // One whole copy at first show: its trades are the held ones from then on, so the
    // first refresh copies only what arrived since.
    CQeltGoods goods = m_services.CurrentGoods();
    m_key = goods.Key();
    m_trades.Adopt(std::move(goods.trades));
    m_rowKeys.clear();
    goods.series.clear();
    goods.weekSeries.clear();
    goods.monthSeries.clear();
    goods.lines.clear();
    m_goods = std::move(goods);
    m_flagged = HasContract() && m_services.IsFlagged(m_key.goodsNo);
}

void CQeltRealView::RefreshQuote() {
    if (!HasContract()) return;
    std::optional<CQeltGoods> quote = m_services.GoodsQuote(m_key);
    if (!quote) {
        if (m_bound) m_goods = CQeltGoods();
        return;
    }
    // A view opened from a derived list keeps that list's name ("生丝现货月").
    if (!m_bound && !m_goods.name.empty()) quote->name = m_goods.name;
    m_goods = std::move(*quote);
    m_flagged = m_services.IsFlagged(m_key.goodsNo);
}

void CQeltRealView::Bind(const GoodsKey& goods) {
    m_key = goods;
    m_goods = CQeltGoods();
    m_trades.Clear();
    m_rowKeys.clear();
    m_cursorOn = false;
    RefreshQuote();
    Refresh();
    UpdateTip();
}

void CQeltRealView::Refresh() {
    if (HasContract() && m_mode == kHistoryReview) {
        m_tableRows.clear();
        const std::vector<TradeRow> rows = m_services.TradeList();
        m_tableRows.reserve(rows.size());
        for (const TradeRow& row : rows) m_tableRows.push_back(ParseTradePoint(row));
    } else if (HasContract()) {
        m_trades.Sync(m_services, m_key);
        if (m_trades.Replaced()) m_rowKeys.clear();
        ExtendRowKeys(m_trades.Rows(), m_rowKeys);
    }
    Rebuild();
}

void CQeltRealView::Rebuild() {
    m_series = IntradaySeries();
    m_minuteRecords.clear();
    m_dynamic.clear();
    m_placement = DynamicBoardPlacement();
    m_minutesDirty = true;
    if (!HasContract()) {
        m_volumes.clear();
        m_dynamicVolumes.clear();
        return;
    }
    if (m_mode == kHistoryReview) {
        std::vector<TradePoint> runs;
        for (std::size_t i = 0; i < m_tableRows.size(); ++i)
            if (i + 1 == m_tableRows.size() || m_tableRows[i].section != m_tableRows[i + 1].section)
                runs.push_back(m_tableRows[i]);
        if (m_flagged)
            m_minuteRecords = std::move(runs);
        else
            m_series = SectionSeries(runs, m_days, 0);
    } else if (m_flagged) {
        m_minuteRecords = FlaggedMinuteRecords(m_trades.Rows(), m_rowKeys, m_days);
    } else {
        SectionLists lists = SplitSections(m_trades.Rows(), m_rowKeys, m_days);
        m_series = SectionSeries(lists.sections, m_days, m_services.Settings().m_slotsPerDay);
        m_dynamic = std::move(lists.dynamic);
        m_placement = PlaceDynamicBoard(m_series, m_dynamic);
        m_dynamicVolumes = SlotVolumes(m_series, true);
    }
    if (!m_flagged) m_volumes = SlotVolumes(m_series, false);
}

void CQeltRealView::EnsureMinuteSeries() {
    if (!m_flagged) return;
    const ChinaTime now = m_clock();
    if (!m_minutesDirty && now == m_minutesBuiltAt) return;
    m_series = MinuteSeries(m_minuteRecords, now);
    m_volumes = SlotVolumes(m_series, false);
    m_minutesBuiltAt = now;
    m_minutesDirty = false;
}

const IntradaySeries& CQeltRealView::Series() {
    EnsureMinuteSeries();
    return m_series;
}

void CQeltRealView::SetDays(int days) {
    m_days = days < 1 ? 1 : std::min(days, 8);
    Rebuild();
    UpdateTip();
}

std::string CQeltRealView::Title() const {
    const std::string days = FormatInt(m_days);
    return m_goods.name + " " + days + (m_mode == kHistoryReview ? "日 历史回顾" : "日 分时走势");
}

std::optional<CommandState> CQeltRealView::StateOf(int command) const {
    if (command >= cmd::kDays1 && command <= cmd::kDays8)
        return CommandState{true, command - cmd::kDays1 + 1 == m_days};
    if (command == cmd::kNextGoods || command == cmd::kPrevGoods) return CommandState{};
    return std::nullopt;
}

bool CQeltRealView::OnCommand(int command) {
    if (command >= cmd::kDays1 && command <= cmd::kDays8) {
        SetDays(command - cmd::kDays1 + 1);
        Host().Invalidate();
        return true;
    }
    if (command == cmd::kNextGoods || command == cmd::kPrevGoods) {
        StepGoods(command == cmd::kNextGoods);
        return true;
    }
    return false;
}

void CQeltRealView::StepGoods(bool forward) {
    SelectBoundGoods();
    m_services.StepGoods(forward);
    m_services.PostSwitchView(kViewIntraday, 0);
}

void CQeltRealView::SelectBoundGoods() {
    if (!m_bound || !HasContract() || m_goods.goods_no.empty()) return;
    m_services.SelectGoods(m_goods.position);
}

void CQeltRealView::OnNotify(unsigned message, std::intptr_t) {
    if (message == WM_NET_REAL || (message == WM_NET_HISREAL && m_mode == kHistoryReview)) {
        RefreshQuote();
        Refresh();
        UpdateTip();
        Host().Invalidate();
    } else if (message == WM_NET_LIST) {
        RefreshQuote();
        Host().Invalidate();
    }
}

std::optional<std::vector<std::string>> CQeltRealView::StandingRequests() const {
    if (m_bound) return std::nullopt;
    if (!HasContract()) return std::vector<std::string>{ListRequest()};
    return StandingRequestsFor(kViewIntraday, m_services.Selection().dayQualifier, m_key);
}

}  // namespace qelt
