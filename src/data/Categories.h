#pragma once
/// Category codes with a meaning of their own: four-digit texts in the goods-number space
/// that name the derived lists rather than a goods, and the index records' names.
#include <array>
#include <string_view>

namespace qelt {

/// Codes of the pseudo-categories.
inline constexpr std::string_view kSelfSelectedCode = "0000";
inline constexpr std::string_view kSelfSelectedName = "自选";
inline constexpr std::string_view kAllGoodsCode = "0001";
inline constexpr std::string_view kSpotMonthCode = "0002";
inline constexpr std::string_view kDeliveryCode = "0003";
inline constexpr std::string_view kThirdMonthCode = "0004";
inline constexpr std::string_view kContractCode = "0005";
inline constexpr std::string_view kMidMonthCode = "0006";
/// The goods number left out of the contract list (the composite index).
inline constexpr std::string_view kIndexGoodsNo = "0009";

/// Names of the three index records (their due_date) and the index values they set.
inline constexpr std::array<std::string_view, 3> kIndexNames = {"综合指数", "生丝指数", "干茧指数"};

}  // namespace qelt
