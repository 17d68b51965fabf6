#include <gtest/gtest.h>

#include <thread>

#include "common/Files.h"
#include "data/history/HistoryDatabase.h"
#include "support/TempDir.h"

namespace qelt {
namespace {

/// Records what LoadStore dispatches; its lists are given by the test.
class FakeTarget : public HistoryLoadTarget {
  public:
    void Dispatch(std::string_view message) override { messages.emplace_back(message); }
    void RebuildDerivedLists() override { messages.emplace_back("<rebuild>"); }
    std::vector<std::pair<std::string, std::string>> MainKeys() const override { return mainKeys; }
    std::vector<std::pair<std::string, std::string>> DeliveryMonthKeys() const override { return monthKeys; }

    std::vector<std::string> messages;
    std::vector<std::pair<std::string, std::string>> mainKeys;
    std::vector<std::pair<std::string, std::string>> monthKeys;
};

SqlRow QuoteRow(const std::string& goodsNo, const std::string& dueDate, const std::string& price) {
    SqlRow row(kQuoteColumnCount);
    for (size_t i = 0; i < row.size(); ++i) row[i] = "f" + std::to_string(i + 1);
    row[0] = dueDate;
    row[9] = goodsNo;
    row[11] = price;
    return row;
}

/// id|due_date|goods_no|date|open|close|high|low|num|pre_close|avg|pure|null
std::string HisRecord(int id, const std::string& month, const std::string& goods, const std::string& date,
                      const std::string& close) {
    return std::to_string(id) + "|" + month + "|" + goods + "|" + date + "|1|" + close + "|3|0.5|10|1|2|7|8";
}

TEST(HistoryDatabase, SaveStoreReplacesCategoriesAndQuotes) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    std::vector<std::pair<std::string, std::string>> categories{
        {"1001", "生丝"}, {"2000", "合约"}, {"1002", "O'Brien's 干茧"}, {"0000", "自选"}};
    std::vector<SqlRow> quotes{QuoteRow("1001", "200903", "12.50"),
                               QuoteRow("1002", "200904", "x'); drop table qeltlist;--")};
    db.SaveStore(categories, quotes);
    db.SaveStore(categories, quotes);  // a second exit: delete before insert

    auto rows = db.Query("select id,code,name from category order by id");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (SqlRow{"1", "1001", "生丝"}));
    EXPECT_EQ(rows[2], (SqlRow{"3", "1002", "O'Brien's 干茧"})) << "apostrophes are data, stored as UTF-8";
    auto list = db.Query("select goods_no,price,all_num_d from qeltlist");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], (SqlRow{"1002", "x'); drop table qeltlist;--", "f26"}));
}

TEST(HistoryDatabase, HistoryRecordsNeedThirteenFieldsAndAreStoredOnce) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    std::string twelve = "5|200903|1001|20090101|1|2|3|4|5|6|7|8";
    std::string fourteen = HisRecord(6, "200903", "1001", "20090102", "2") + "|extra";
    db.StoreHistory("3:" + twelve + "||" + fourteen + "||" + HisRecord(9, "200903", "1001", "20090103", "4") +
                    "||");
    db.StoreHistory("0:" + HisRecord(9, "200903", "1001", "20090103", "4") + "||");  // sent again
    auto rows = db.Query("select id,date,null_num from dayrecord order by id");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (SqlRow{"6", "20090102", "8"})) << "the 14th field is dropped";
    EXPECT_EQ(rows[1][0], "9");
}

TEST(HistoryDatabase, HistoryRecordsWithAnAbsurdFieldAreNotStored) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    db.StoreHistory("0:" + HisRecord(5, std::string(1 << 20, '2'), "1001", "20090101", "1") + "||" +
                    HisRecord(6, "200903", "1001", "20090102", "2") + "||");
    auto rows = db.Query("select id, length(due_date) from dayrecord");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (SqlRow{"6", "6"}));
}

TEST(HistoryDatabase, LargestIdIsNumeric) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    db.StoreHistory("0:" + HisRecord(9, "200903", "1001", "20090101", "old") + "||" +
                    HisRecord(10, "200903", "1001", "20090102", "new") + "||");
    auto rows = db.Query("select max(id) from dayrecord");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "10");
}

TEST(HistoryDatabase, LoadStoreBuildsTheServersMessages) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    db.SaveStore({{"1001", "生丝"}, {"0000", "自选"}}, {QuoteRow("1001", "200903", "12.50")});
    // Two delivery months; their latest records have ids 10 and 12.
    db.StoreHistory("0:" + HisRecord(8, "200903", "1001", "20090101", "a") + "||" +
                    HisRecord(10, "200903", "1001", "20090105", "b") + "||" +
                    HisRecord(11, "200904", "1001", "20090101", "c") + "||" +
                    HisRecord(12, "200904", "1001", "20090103", "d") + "||" +
                    HisRecord(13, "200904", "1002", "20090109", "other goods") + "||");
    FakeTarget target;
    target.mainKeys = {{"1001", "200903"}};
    target.monthKeys = {{"1001", "200904"}};
    db.LoadStore(target);
    ASSERT_EQ(target.messages.size(), 5u);
    EXPECT_EQ(target.messages[0], "category:1001|生丝||");
    std::string list = "list:200903|";
    for (int i = 2; i <= 26; ++i)
        list += (i == 10 ? std::string("1001") : i == 12 ? "12.50" : "f" + std::to_string(i)) + "|";
    EXPECT_EQ(target.messages[1], list + "|");
    EXPECT_EQ(target.messages[2], "<rebuild>");
    EXPECT_EQ(target.messages[3],
              "line:1001200903::20090101|1|a|3|0.5|10|2|7|8|200903||20090105|1|b|3|0.5|10|2|7|8|200903||");
    EXPECT_EQ(target.messages[4],
              "line:1001200904:0:20090103|1|d|3|0.5|10|2|7|8|200904||20090105|1|b|3|0.5|10|2|7|8|200903||");
}

TEST(HistoryDatabase, InMemoryItKeepsWhatAFileKeepsUntilReset) {
    test::TempDir dir;
    HistoryDatabase file(dir.Path());
    HistoryDatabase memory = HistoryDatabase::InMemory();
    const std::string history = "0:" + HisRecord(8, "200903", "1001", "20090101", "a") + "||" +
                                HisRecord(11, "200904", "1001", "20090102", "c") + "||";
    for (HistoryDatabase* db : {&file, &memory}) {
        db->SaveStore({{"1001", "生丝"}, {"0000", "自选"}}, {QuoteRow("1001", "200903", "12.50")});
        db->StoreHistory(history);
        db->StoreHistory(history);  // the same ids again: stored once
    }
    FakeTarget fromFile, fromMemory;
    fromFile.mainKeys = fromMemory.mainKeys = {{"1001", "200903"}};
    fromFile.monthKeys = fromMemory.monthKeys = {{"1001", "200904"}};
    file.LoadStore(fromFile);
    memory.LoadStore(fromMemory);
    ASSERT_EQ(fromMemory.messages.size(), 5u);
    EXPECT_EQ(fromMemory.messages, fromFile.messages);

    // Another database in memory is another database; a copy is the same one.
    EXPECT_TRUE(HistoryDatabase::InMemory().Query("select id from dayrecord").empty());
    HistoryDatabase copy = memory;
    copy.Reset();
    for (const char* table : {"category", "qeltlist", "dayrecord"})
        EXPECT_TRUE(memory.Query(std::string("select * from ") + table).empty()) << table;
    // Emptied, not broken: the ids stored before are new again.
    memory.StoreHistory(history);
    EXPECT_EQ(memory.Query("select id from dayrecord order by id"), (std::vector<SqlRow>{{"8"}, {"11"}}));
    file.Reset();
    EXPECT_EQ(file.Query("select id from dayrecord").size(), 2u) << "a database file is never emptied";
}

TEST(HistoryDatabase, MissingDatabaseGivesEmptyViewsWithoutCreatingIt) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    FakeTarget target;
    target.mainKeys = {{"1001", "200903"}};
    db.LoadStore(target);
    EXPECT_EQ(target.messages, (std::vector<std::string>{"<rebuild>"}));
    EXPECT_TRUE(db.Query("select * from category").empty());
    EXPECT_FALSE(FileExists(dir.File("his/qelt.db")));
    EXPECT_FALSE(db.ExecuteSql("select * from nowhere"));
    EXPECT_TRUE(db.ExecuteSql("insert into category(id,code,name)values(?,?,?)", {"1", "a", "b"}));
}

TEST(HistoryDatabase, EmptyTablesGiveEmptyMessages) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path());
    db.SaveStore({}, {});
    FakeTarget target;
    db.LoadStore(target);
    EXPECT_EQ(target.messages, (std::vector<std::string>{"category:", "list:", "<rebuild>"}));
}

TEST(HistoryDatabase, HistoryWhileSavingOnAnotherThreadLosesNothing) {
    test::TempDir dir;
    HistoryDatabase db(dir.Path().substr(0, dir.Path().size() - 1));  // without the trailing "/"
    std::thread receive([&] {
        for (int m = 0; m < 8; ++m) {
            std::string body = "0:";
            for (int i = 0; i < 10; ++i) body += HisRecord(m * 10 + i, "200903", "1001", "2009", "1") + "||";
            db.StoreHistory(body);
        }
    });
    std::vector<SqlRow> quotes(50, QuoteRow("1001", "200903", "1"));
    for (int i = 0; i < 4; ++i) db.SaveStore({{"1001", "a"}}, quotes);
    receive.join();
    EXPECT_EQ(db.Query("select count(*) from dayrecord")[0][0], "80");
    EXPECT_EQ(db.Query("select count(*) from qeltlist")[0][0], "50");
    EXPECT_TRUE(FileExists(dir.File("his/qelt.db")));
}

}  // namespace
}  // namespace qelt

namespace qelt {
namespace {

TEST(HistoryDatabase, EmptyColumnsCannotEndARecordEarly) {
    // A saved quote with an empty field, read back as wire text, keeps every later field.
    EXPECT_EQ(HistoryDatabase::RowsToMessage({{"a", "", "c"}, {"d", "e", "f"}}), "a| |c||d|e|f||");
}

}  // namespace
}  // namespace qelt
