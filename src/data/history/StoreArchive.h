#pragma once
/// The store and the local history database meet here: the exit-time save of the board and
/// categories, and the offline fill of an empty store.
#include "data/CQeltData.h"
#include "data/history/HistoryDatabase.h"

namespace qelt {

/// Writes the categories and every main record's quote fields. The rows are built from the
/// store's records in place (no copy of their series), so the save adds little to the
/// memory the store already holds.
void SaveStoreToHistory(HistoryDatabase& database, const CQeltData& store);

/// Fills the store from the database as the server's replies would (offline browsing).
void LoadStoreFromHistory(const HistoryDatabase& database, CQeltData& store);

}  // namespace qelt
