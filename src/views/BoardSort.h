#pragma once
/// What of the quote board outlives one board: its sort, kept for the run in the application's
/// selection and between runs in head.ini, and the place the user left it at, so the board
/// made again after another view comes back on the same row.
#include <array>

namespace qelt {

/// How the quote board orders its rows: by contract (1), by "价格" (2) or by "涨幅" (3),
/// ascending or descending.
struct BoardSort {
    int key = 1;
    bool descending = false;
    friend bool operator==(const BoardSort&, const BoardSort&) = default;
};

/// The titles of the sort keys' columns, key 1 first; the active one carries "↑" or "↓".
inline constexpr std::array<const char*, 3> kSortTitles = {"商品名称", "价格", "涨幅"};
inline constexpr const char* kUpArrow = "↑";
inline constexpr const char* kDownArrow = "↓";

/// Where the board was left: the first row shown, the selected row (1-based within the page)
/// and the scrollable columns hidden at the left.
struct BoardPlace {
    bool shown = false;  ///< a board has been shown this run
    int firstRow = 0;
    int selectedRow = 1;
    int hOffset = 0;
};

}  // namespace qelt
