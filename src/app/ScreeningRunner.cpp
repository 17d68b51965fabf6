#include "app/ScreeningRunner.h"

#include <algorithm>
#include <span>

namespace qelt {

DaySeriesSource StoreDaySeries(const CQeltData& store) {
    return [&store](const GoodsKey& goods, BarSeries& bars) {
        bars.clear();
        store.VisitMainRecord(goods, [&bars](const CQeltGoods& record) { bars = record.series; });
    };
}

ScreeningRunner::ScreeningRunner(Poster& poster, WindowId window, DaySeriesSource series, int threads)
    : m_series(std::move(series)), m_threads(threads), m_jobs(poster, window, WM_SCREEN_DONE) {}

int ScreeningRunner::Start(ScreeningRequest request, std::vector<ScreeningGoods> goods) {
    return m_jobs.Launch([this, request = std::move(request),
                          goods = std::move(goods)](ScreeningOutcome& out) {
        const WorkPool pool(m_threads);
        const int total = static_cast<int>(goods.size());
        ThrottledProgress progress(m_jobs.Target(), m_jobs.Window(), WM_SCREEN_PROGRESS, total);
        const std::atomic<bool>& cancel = m_jobs.CancelFlag();
        ScreeningResult whole;
        // Its series keep their storage from one batch to the next.
        std::vector<BarSeries> batch(static_cast<std::size_t>(std::min(kBatch, total)));
        int first = 0;
        do {
            const int count = std::min(kBatch, total - first);
            for (int i = 0; i < count && !cancel; ++i)
                m_series(goods[static_cast<std::size_t>(first + i)].key, batch[static_cast<std::size_t>(i)]);
            if (cancel) break;
            const std::span<const BarSeries> series(batch.data(), static_cast<std::size_t>(count));
            std::optional<ScreeningResult> part = RunScreening(
                request, series, pool, &cancel, [&progress, first](int done) { progress(first + done); });
            if (!part) break;
            if (part->fault) {  // the values alone decide it: no goods would be screened
                whole = std::move(*part);
                whole.goods = total;
                out.result = std::move(whole);
                return;
            }
            whole.goods += part->goods;
            whole.withoutData += part->withoutData;
            for (ScreeningRow& row : part->rows) {
                row.goods += first;
                whole.rows.push_back(std::move(row));
            }
            first += kBatch;
        } while (first < total);
        if (cancel) {
            out.cancelled = true;
            return;
        }
        whole.selected = static_cast<int>(whole.rows.size());
        out.result = std::move(whole);
    });
}

}  // namespace qelt
