#pragma once
/// Drawn analysis lines on a goods record. The drawing tools fill in `CMyLine`; the goods
/// record only needs to hold and copy the list, so the type stays a plain value here.
#include <string>
#include <vector>

namespace qelt {

/// Anchor point of a drawn line: the bar it sits on and the price at that point.
struct CKLinePoint {
    int index = 0;
    double price = 0.0;
    friend bool operator==(const CKLinePoint&, const CKLinePoint&) = default;
};

/// One user-drawn line. The drawing tools own its meaning; the store only copies it.
struct CMyLine {
    int type = 0;
    std::vector<CKLinePoint> points;
    friend bool operator==(const CMyLine&, const CMyLine&) = default;
};

}  // namespace qelt
