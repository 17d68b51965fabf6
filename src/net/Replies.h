#pragma once
/// Reading the server's messages into their fields. Every parsed form holds views into the
/// message body it was parsed from: keep the body alive while using them.
///
/// A message is kind ":" body. The kinds are exact, case-sensitive words; any other kind is
/// ignored by the client.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

enum class ReplyKind { Login, Ver, Category, List, Line, Real, HisReal, His, Alarm, Msg, Dis, Pwd, Unknown };

struct SplitMessage {
    std::string_view kind;  ///< text before the first ":" (the whole message when there is none)
    std::string_view body;  ///< text after that ":"
};

SplitMessage SplitKind(std::string_view message);
ReplyKind KindOf(std::string_view kind);

using Fields = std::vector<std::string_view>;

/// What one reply may carry. Every field of a board, series, trade, history and alarm record
/// is short by nature (codes, dates, delivery months, prices, volumes, identities, flags),
/// and a category name is a short display name. A record holding a longer field, or more
/// fields than any record of the protocol, is no record of this system: it is dropped whole
/// and the other records of the reply stand. Records beyond the count bound are ignored, so
/// one reply cannot make the client build more than that many (the largest of the store's
/// own bounds). A broken or hostile server, or a reply glued to unterminated garbage, can
/// therefore neither make the store hold nor the history database save absurd texts.
inline constexpr size_t kMaxShortField = 64;       ///< bytes (UTF-8) of every other field
inline constexpr size_t kMaxNameField = 256;       ///< bytes (UTF-8) of a category name
inline constexpr size_t kMaxFieldsPerRecord = 32;  ///< the board's 27 are the most
inline constexpr size_t kMaxRecordsPerReply = 100000;

/// The code of a "login" or "pwd" reply that carries no number at all (an empty body, or
/// text without a leading number): no verdict. It is none of the login verdicts 0..5 and
/// neither password answer 0 (changed) nor 1 (old password wrong), so it reads as a
/// rejected login and a failed password change, never as a success.
inline constexpr int kNoVerdict = -1;

/// "login": code "|" text "|" number. The code is kNoVerdict when the first field holds no
/// number; text and number are read as before (empty and 0 when missing).
struct LoginReply {
    int code = kNoVerdict;
    std::string_view text;
    int number = 0;
};
LoginReply ParseLogin(std::string_view body);

/// "ver": the integer before the first ":".
int ParseVersion(std::string_view body);

/// "category": records of code, name and kind flag ("1" = quoted by continuous trading); the
/// name may be up to kMaxNameField bytes, the other fields kMaxShortField.
struct CategoryRecord {
    std::string_view code;
    std::string_view name;
    std::string_view kindFlag;
};
std::vector<CategoryRecord> ParseCategories(std::string_view body);

/// Number of fields of one "list" record.
inline constexpr size_t kListFieldCount = 27;
/// One "list" record; fields a short record lacks are empty, fields beyond the 27th are
/// ignored, and a record with a field longer than kMaxShortField is dropped.
using ListRecord = std::array<std::string_view, kListFieldCount>;
std::vector<ListRecord> ParseList(std::string_view body);

/// "line": key ":" list tag ":" bars (10 fields each).
struct LineReply {
    std::string_view key;  ///< goods_no immediately followed by due_date
    std::string_view listTag;
    std::vector<Fields> bars;
};
LineReply ParseLine(std::string_view body);

/// "real" and "hisreal": key ":" selector ":" trade records.
struct RealReply {
    std::string_view key;
    std::string_view selector;
    std::vector<Fields> records;
};
RealReply ParseReal(std::string_view body);

/// "his": count ":" records of 13 fields (shorter records are kept here; the store skips them).
struct HisReply {
    int count = 0;
    std::vector<Fields> records;
};
HisReply ParseHis(std::string_view body);

/// "alarm": records whose first field is the numeric id.
std::vector<Fields> ParseAlarm(std::string_view body);

/// "pwd": the answer number; kNoVerdict when the body holds no number.
int ParsePassword(std::string_view body);

/// "msg": the notice with trailing white space removed (empty when there is nothing left).
std::string_view ParseNotice(std::string_view body);

/// Records on "||", fields on "|", by the one splitting rule, within the bounds above: a
/// record with a field longer than `maxFieldBytes` or more than kMaxFieldsPerRecord fields
/// is dropped, and at most kMaxRecordsPerReply records are returned.
std::vector<Fields> SplitRecordViews(std::string_view text, size_t maxFieldBytes = kMaxShortField);

}  // namespace qelt
