#include "data/history/HistoryDatabase.h"

#include <sqlite3.h>

#include <functional>
#include <iterator>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "common/DiagnosticLog.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "common/ProgramDir.h"
#include "common/TextHash.h"
#include "data/history/MinuteBarText.h"
#include "net/Replies.h"

namespace qelt {
namespace {

// The receive thread may store history while the user-interface thread saves at exit.
constexpr int kBusyTimeoutMs = 3000;
constexpr size_t kHistoryFieldCount = 13;

// id of dayrecord is the server's record id: integer affinity so "the largest id" is
// numeric, unique so a record sent twice is stored once.
constexpr const char* kSchema =
    "create table if not exists category(id integer, code text, name text);"
    "create table if not exists qeltlist(due_date text, last_sale_num text, last_invest_num text,"
    " last_price text, last_section text, all_num text, lowest_price text, highest_price text,"
    " open_price text, goods_no text, null_num text, price text, last_sale_input text,"
    " last_invest_input text, pure_num text, pre_close text, state text, pre_avg_price text,"
    " avg_price text, last_date text, invest_price text, invest_input text, sale_price text,"
    " sale_input text, newest_price text, all_num_d text);"
    "create table if not exists dayrecord(id integer not null unique, due_date text, goods_no text,"
    " date text, open_price text, close_price text, highest_price text, lowest_price text,"
    " num text, pre_close text, avg_price text, pure_num text, null_num text);"
    "create index if not exists dayrecord_goods on dayrecord(goods_no, due_date);"
    "create table if not exists minutebars(goods_no text not null, due_date text not null,"
    " date integer not null, period integer not null, bars text not null,"
    " primary key(goods_no, due_date, date, period));";

constexpr std::string_view kInsertCategory = "insert into category(id,code,name)values(?,?,?)";

constexpr std::string_view kInsertQuote =
    "insert into qeltlist([due_date],[last_sale_num],[last_invest_num],[last_price],[last_section],"
    "[all_num],[lowest_price],[highest_price],[open_price],[goods_no],[null_num],[price],"
    "[last_sale_input],[last_invest_input],[pure_num],[pre_close],[state],[pre_avg_price],"
    "[avg_price],[last_date],[invest_price],[invest_input],[sale_price],[sale_input],"
    "[newest_price],[all_num_d])VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

constexpr std::string_view kInsertDay =
    "INSERT INTO [dayrecord] (id,[due_date],[goods_no],[date],[open_price],[close_price],"
    "[highest_price],[lowest_price],[num],[pre_close],[avg_price],pure_num,null_num)"
    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)";

constexpr std::string_view kSelectCategories = "select code,name from category order by id";

constexpr std::string_view kSelectQuotes =
    "select due_date,last_sale_num,last_invest_num,last_price,last_section,all_num,lowest_price,"
    "highest_price,open_price,goods_no,null_num,price,last_sale_input,last_invest_input,pure_num,"
    "pre_close,state,pre_avg_price,avg_price,last_date,[invest_price],[invest_input],[sale_price],"
    "[sale_input],[newest_price],[all_num_d] from qeltlist ";

constexpr std::string_view kSelectSeries =
    "select [date],open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,"
    "null_num,due_date from dayrecord where due_date=? and goods_no=? order by [date] asc ";

// The latest record (largest id) of every delivery month of one goods, in date order.
constexpr std::string_view kSelectLatestPerMonth =
    "select [date],open_price,close_price,highest_price,lowest_price,num,avg_price,pure_num,"
    "null_num,due_date from dayrecord a right join ( select max(id) as mid from dayrecord  "
    "where goods_no=? group by goods_no,due_date) b on a.id=b.mid order by [date] asc ";

// A past day is written once: a second write of the same day and period changes nothing.
constexpr std::string_view kInsertMinuteDay =
    "insert or ignore into minutebars(goods_no,due_date,date,period,bars)values(?,?,?,?,?)";

constexpr std::string_view kSelectMinuteDays =
    "select date from minutebars where goods_no=? and due_date=? and period=? order by date asc";

constexpr std::string_view kSelectMinuteBars =
    "select date,bars from minutebars where goods_no=? and due_date=? and period=? and date>=? "
    "order by date asc";

/// The period whose rows say which days are kept: every kept day has all its periods.
constexpr int kKeptDayPeriod = 1;

/// A statement run once per row or per goods (the board's quote rows, each goods' series)
/// is compiled once per connection; a connection holds at most this many.
constexpr std::size_t kMaxCompiled = 32;

constexpr std::string_view kInMemory = ":memory:";

}  // namespace

/// An open database and the statements compiled on it, by their text (looked up by a view of
/// it, without making a string).
struct OpenDatabase {
    sqlite3* db = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*, TextHash, std::equal_to<>> compiled;

    /// Opens `path` with `flags`; with `create`, makes the tables when missing. Null when the
    /// database does not open.
    static std::unique_ptr<OpenDatabase> Open(const std::string& path, int flags, bool create) {
        auto open = std::make_unique<OpenDatabase>();
        if (sqlite3_open_v2(path.c_str(), &open->db, flags, nullptr) != SQLITE_OK) return nullptr;
        sqlite3_busy_timeout(open->db, kBusyTimeoutMs);
        if (create && sqlite3_exec(open->db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) return nullptr;
        return open;
    }
    ~OpenDatabase() {
        Forget();
        sqlite3_close(db);
    }
    /// The statement of `sql`, ready to bind and step; null when it does not compile.
    sqlite3_stmt* Compiled(std::string_view sql) {
        if (auto found = compiled.find(sql); found != compiled.end()) return found->second;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK ||
            !stmt) {
            sqlite3_finalize(stmt);
            return nullptr;
        }
        if (compiled.size() >= kMaxCompiled) Forget();
        compiled.emplace(std::string(sql), stmt);
        return stmt;
    }
    void Forget() {
        for (auto& [text, stmt] : compiled) sqlite3_finalize(stmt);
        compiled.clear();
    }
};

namespace {

/// The database for one operation: opened for it and closed after it, or a database in
/// memory that stays open.
class Connection {
  public:
    /// `create`: make the file and the tables when missing; otherwise open an existing file
    /// read-only (a missing file gives a closed connection). With `kept` (a database in
    /// memory) that one serves.
    Connection(const std::string& directory, const std::string& path, OpenDatabase* kept, bool create) {
        if (kept) {
            m_open = kept;
            return;
        }
        if (path == kInMemory) return;  // a database in memory that did not open
        if (create && !EnsureDirectory(directory + "his")) return;
        m_own = OpenDatabase::Open(
            path, create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY, create);
        m_open = m_own.get();
    }

    bool IsOpen() const { return m_open != nullptr; }

    /// Runs one statement; rows (if any) are appended to `rows` when given.
    bool Run(std::string_view sql, const std::vector<std::string>& params,
             std::vector<SqlRow>* rows = nullptr) {
        sqlite3_stmt* stmt = m_open ? m_open->Compiled(sql) : nullptr;
        if (!stmt) return false;
        bool ok = true;
        for (size_t i = 0; ok && i < params.size(); ++i)
            ok = sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i].data(),
                                   static_cast<int>(params[i].size()), SQLITE_TRANSIENT) == SQLITE_OK;
        std::vector<SqlRow> found;
        int rc = SQLITE_DONE;
        while (ok && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            if (!rows) continue;
            SqlRow row;
            int columns = sqlite3_column_count(stmt);
            for (int c = 0; c < columns; ++c) {
                const unsigned char* text = sqlite3_column_text(stmt, c);
                int bytes = sqlite3_column_bytes(stmt, c);
                row.emplace_back(
                    text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes))
                         : std::string());
            }
            found.push_back(std::move(row));
        }
        ok = ok && rc == SQLITE_DONE;
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        // A statement that failed half way through its rows gives none: no partial answers.
        if (ok && rows)
            rows->insert(rows->end(), std::make_move_iterator(found.begin()),
                         std::make_move_iterator(found.end()));
        return ok;
    }

    void Begin() { Run("begin", {}); }
    void Commit() { Run("commit", {}); }
    /// False once a failure has rolled the whole transaction back (disk full, I/O error):
    /// the rest of the operation must not run outside it.
    bool InTransaction() const { return m_open && !sqlite3_get_autocommit(m_open->db); }

  private:
    std::unique_ptr<OpenDatabase> m_own;
    OpenDatabase* m_open = nullptr;
};

}  // namespace

HistoryDatabase::HistoryDatabase(std::string programDirectory)
    : m_directory(WithTrailingSlash(std::move(programDirectory))), m_path(m_directory + "his/qelt.db") {}

HistoryDatabase HistoryDatabase::InMemory() {
    HistoryDatabase database;
    database.m_path = kInMemory;
    database.m_kept = OpenDatabase::Open(database.m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, true);
    return database;
}

void HistoryDatabase::Reset() {
    if (!m_kept) return;
    // The kept statements: a process that resets between thousands of round trips does not
    // compile them again each time.
    Connection db(m_directory, m_path, m_kept.get(), false);
    for (std::string_view table :
         {"delete from category", "delete from qeltlist", "delete from dayrecord", "delete from minutebars"})
        db.Run(table, {});
}

bool HistoryDatabase::ExecuteSql(std::string_view sql, const std::vector<std::string>& params) {
    Connection db(m_directory, m_path, m_kept.get(), true);
    return db.Run(sql, params);
}

std::vector<SqlRow> HistoryDatabase::Query(std::string_view sql,
                                           const std::vector<std::string>& params) const {
    Connection db(m_directory, m_path, m_kept.get(), false);
    std::vector<SqlRow> rows;
    db.Run(sql, params, &rows);
    return rows;
}

void HistoryDatabase::SaveStore(const std::vector<std::pair<std::string, std::string>>& categories,
                                const std::vector<SqlRow>& quoteRows) {
    Connection db(m_directory, m_path, m_kept.get(), true);
    if (!db.IsOpen()) {
        Log("could not save the board: " + m_path + " does not open");
        return;
    }
    // One transaction for speed and so that an exit cut short never leaves half a board;
    // a statement that fails on its own is skipped and the others still run.
    db.Begin();
    auto run = [&](std::string_view sql, const std::vector<std::string>& params) {
        if (db.InTransaction()) db.Run(sql, params);
        if (db.InTransaction()) return true;
        Log("could not save the board to " + m_path + ": the write failed and was undone");
        return false;
    };
    if (!run("delete from category", {})) return;
    for (size_t i = 0; i < categories.size(); ++i) {
        if (categories[i].first == "0000") continue;
        if (!run(kInsertCategory, {std::to_string(i + 1), categories[i].first, categories[i].second})) return;
    }
    if (!run("delete from qeltlist", {})) return;
    for (const SqlRow& row : quoteRows) {
        SqlRow values = row;
        values.resize(kQuoteColumnCount);
        if (!run(kInsertQuote, values)) return;
    }
    db.Commit();
}

void HistoryDatabase::StoreHistory(std::string_view body) {
    HisReply reply = ParseHis(body);
    Connection db(m_directory, m_path, m_kept.get(), true);
    if (!db.IsOpen()) {
        Log("could not store history records: " + m_path + " does not open");
        return;
    }
    db.Begin();
    for (const Fields& record : reply.records) {
        if (record.size() < kHistoryFieldCount) continue;
        std::vector<std::string> values(record.begin(), record.begin() + kHistoryFieldCount);
        // A duplicate id fails alone (the record is already stored).
        db.Run(kInsertDay, values);
        if (!db.InTransaction()) {
            Log("could not store history records in " + m_path + ": the write failed and was undone");
            return;
        }
    }
    db.Commit();
}

std::vector<std::int64_t> HistoryDatabase::KeptDays(const GoodsKey& contract) const {
    std::vector<std::int64_t> dates;
    for (const SqlRow& row :
         Query(kSelectMinuteDays, {contract.goodsNo, contract.dueDate, FormatInt(kKeptDayPeriod)}))
        if (!row.empty()) dates.push_back(LeadingInt64(row[0]));
    return dates;
}

bool HistoryDatabase::KeepDay(const GoodsKey& contract, const MinuteDay& day) {
    Connection db(m_directory, m_path, m_kept.get(), true);
    if (!db.IsOpen()) {
        Log("could not keep minute bars: " + m_path + " does not open");
        return false;
    }
    db.Begin();
    bool ok = true;
    for (const auto& [minutes, bars] : day.periods) {
        ok = db.Run(kInsertMinuteDay, {contract.goodsNo, contract.dueDate, FormatInt(day.date),
                                       FormatInt(minutes), FormatMinuteBars(bars)}) &&
             db.InTransaction();
        if (!ok) break;
    }
    if (!ok) {
        if (db.InTransaction()) db.Run("rollback", {});
        Log("could not keep the minute bars of " + FormatInt(day.date) + " in " + m_path);
        return false;
    }
    db.Commit();
    if (!db.InTransaction()) return true;
    db.Run("rollback", {});
    Log("could not keep the minute bars of " + FormatInt(day.date) + " in " + m_path);
    return false;
}

BarSeries HistoryDatabase::KeptBars(const GoodsKey& contract, int minutes, std::int64_t fromDate) const {
    BarSeries bars;
    const std::vector<SqlRow> rows = Query(
        kSelectMinuteBars, {contract.goodsNo, contract.dueDate, FormatInt(minutes), FormatInt(fromDate)});
    for (const SqlRow& row : rows) {
        if (row.size() < 2) continue;
        if (!ParseMinuteBars(row[1], row[0], contract.dueDate, bars))
            Log("minute bars of " + row[0] + " in " + m_path + " are damaged: left out");
    }
    return bars;
}

std::string HistoryDatabase::RowsToMessage(const std::vector<SqlRow>& rows) {
    std::string out;
    for (const SqlRow& row : rows) {
        // An empty column would put "||" inside the record, which the splitting rule reads as
        // the end of the record and so shifts every later field and record. A blank reads as
        // the same value (no number, blank after trimming).
        for (const std::string& column : row) out += (column.empty() ? std::string(" ") : column) + "|";
        out += "|";
    }
    return out;
}

void HistoryDatabase::LoadStore(HistoryLoadTarget& target) const {
    Connection db(m_directory, m_path, m_kept.get(), false);
    // A step whose query fails dispatches nothing, as if the step had not run.
    auto dispatch = [&](const std::string& head, std::string_view sql,
                        const std::vector<std::string>& params) {
        std::vector<SqlRow> rows;
        if (db.Run(sql, params, &rows)) target.Dispatch(head + RowsToMessage(rows));
    };
    dispatch("category:", kSelectCategories, {});
    dispatch("list:", kSelectQuotes, {});
    target.RebuildDerivedLists();
    for (const GoodsKey& goods : target.MainKeys())
        dispatch("line:" + goods.goodsNo + goods.dueDate + "::", kSelectSeries,
                 {goods.dueDate, goods.goodsNo});
    for (const GoodsKey& goods : target.DeliveryMonthKeys())
        dispatch("line:" + goods.goodsNo + goods.dueDate + ":0:", kSelectLatestPerMonth, {goods.goodsNo});
}

}  // namespace qelt
