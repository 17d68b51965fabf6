// The price alarm dialogs and the alarm window on the offscreen platform: what they show,
// what their buttons change, and an alarm announced without taking the focus or hanging
// on a machine without sound. With QELT_ALARM_PNG=DIR the three windows are saved there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <chrono>

#include "TestApplication.h"
#include "common/Files.h"
#include "common/Numbers.h"
#include "data/CQeltData.h"
#include "data/settings/CQeltCFG.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"
#include "ui/AlarmSound.h"
#include "ui/dialogs/CQeltAlarm.h"
#include "ui/dialogs/CQeltAlarmDlg.h"
#include "ui/dialogs/CQeltAlarmList.h"
#include "ui/dialogs/CQeltConditionAlarms.h"
#include "ui/dialogs/MessageBoxes.h"

namespace qelt {
namespace {

using test::App;

struct RecordedBoxes : MessageBoxes {
    void Show(QWidget*, const std::string& text, const std::string& caption) override {
        shown.emplace_back(text, caption);
    }
    bool Ask(QWidget*, const std::string&, const std::string&) override { return true; }
    std::vector<std::pair<std::string, std::string>> shown;
};

template <class T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

std::vector<std::string> Column(QTableWidget* list, int column) {
    std::vector<std::string> texts;
    for (int r = 0; r < list->rowCount(); ++r) texts.push_back(list->item(r, column)->text().toStdString());
    return texts;
}

std::vector<std::string> Headers(QTableWidget* list) {
    std::vector<std::string> texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts.push_back(list->horizontalHeaderItem(c)->text().toStdString() + "/" +
                        std::to_string(list->columnWidth(c)));
    return texts;
}

void SaveShot(QWidget& widget, const char* name) {
    if (const char* dir = std::getenv("QELT_ALARM_PNG"))
        widget.grab().save(QString::fromUtf8(dir) + "/" + name);
}

class AlarmDialogs : public ::testing::Test {
  protected:
    AlarmDialogs() { App(); }
    test::TempDir dir;
    CQeltCFG cfg{dir.Path()};
    RecordedBoxes boxes;
};

TEST_F(AlarmDialogs, EntryDialogOffersTheStoreAndRefusesValuesOutOfRange) {
    AlarmEntryChoices choices;
    choices.records = {{"0112", "20261225"}, {"0112", "20270125"}, {"0121", "20261215"}};
    choices.names = {{"0112", "生丝"}, {"0121", "干茧"}};
    choices.current = {"0121", "20261215"};
    CQeltAlarm dialog(choices, cfg, boxes);
    EXPECT_EQ(dialog.windowTitle(), "设置预警");
    dialog.show();
    auto* goods = Child<QComboBox>(dialog, "goods");
    ASSERT_EQ(goods->count(), 2) << "each goods number once";
    EXPECT_EQ(goods->currentText(), "0121 干茧") << "the contract selected on the board, with its name";
    auto* months = Child<QComboBox>(dialog, "dueDate");
    EXPECT_EQ(months->count(), 1) << "the months of the chosen goods only";
    EXPECT_EQ(months->currentText(), "20261215");
    goods->setCurrentIndex(0);
    EXPECT_EQ(months->count(), 2);
    EXPECT_EQ(months->currentText(), "20261225");
    auto* upper = Child<QLineEdit>(dialog, "upperPrice");
    EXPECT_EQ(upper->text(), "0");

    upper->setText("10");
    Child<QLineEdit>(dialog, "lowerPrice")->setText("8");
    auto* volume = Child<QLineEdit>(dialog, "volume");
    volume->setText("1000000");
    months->setCurrentIndex(1);
    SaveShot(dialog, "alarm-entry.png");
    dialog.activateWindow();  // the user works in the dialog
    ASSERT_TRUE(test::SpinUntil([&] { return dialog.isActiveWindow(); }, std::chrono::seconds(30)));
    Child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, AlarmEntryModel::kCountRange);
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
    EXPECT_TRUE(cfg.AlarmEntries().empty());
    // The keys go to the value out of range, which is selected to be typed over.
    EXPECT_EQ(QApplication::focusWidget(), volume);
    EXPECT_EQ(volume->selectedText(), "1000000");

    volume->setText("500");
    Child<QPushButton>(dialog, "ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(cfg.AlarmEntries(),
              (std::vector<AlarmEntry>{{"0112", "20270125", "10.000", "8.000", "500", "0"}}));
    EXPECT_NE(
        ReadWholeFile(dir.File("alarm.ini")).value_or("").find("alarm=0112|20270125|10.000|8.000|500|0"),
        std::string::npos);

    CQeltAlarm cancelled(AlarmEntryChoices{}, cfg, boxes);
    EXPECT_EQ(Child<QComboBox>(cancelled, "goods")->count(), 0);
    Child<QPushButton>(cancelled, "cancel")->click();
    EXPECT_EQ(cfg.AlarmEntries().size(), 1u) << "cancel changes nothing";
}

TEST_F(AlarmDialogs, ListDialogShowsDeletesAndSwitches) {
    cfg.AddAlarmEntry({"0112", "20261225", "10.000", "8.000", "0", "0"});
    cfg.AddAlarmEntry({"0121", "20261225", "0.000", "12.500", "500", "0"});
    cfg.AddAlarmEntry({"0131", "20270125", "0.000", "0.000", "0", "300"});
    cfg.AddAlarmEntry({"0145", "20270125", "0.000", "0.000", "0", "0"});
    std::vector<bool> switched;
    auto switchAlarms = [&](bool on) {
        switched.push_back(on);
        cfg.SetAlarmWindowOn(on);
    };
    CQeltAlarmList dialog(
        cfg, [] { return AlarmEntryChoices{}; }, switchAlarms, boxes);
    EXPECT_EQ(dialog.windowTitle(), "预警设置");
    auto* list = Child<QTableWidget>(dialog, "list");
    EXPECT_EQ(Headers(list), (std::vector<std::string>{"编  号/60", "品  种/60", "交货月/100", "价  格/150",
                                                       "成交量/60", "净持仓量/60"}));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"   1", "   2", "   3", "   4"}));
    EXPECT_EQ(Column(list, 3),
              (std::vector<std::string>{"大于10.000 或者 小于8.000", " 或者 小于12.500", "", ""}));
    EXPECT_EQ(Column(list, 4), (std::vector<std::string>{"", "500", "", ""}));
    EXPECT_EQ(Column(list, 5), (std::vector<std::string>{"", "", "300", ""}));
    EXPECT_EQ(list->item(0, 3)->textAlignment(), Qt::AlignCenter);
    dialog.show();
    SaveShot(dialog, "alarm-list.png");

    list->selectRow(0);
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(dialog.SelectedRows(), (std::set<size_t>{0, 2}));
    Child<QPushButton>(dialog, "delete")->click();
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"0121", "0145"}))
        << "exactly the two selected rows go";
    EXPECT_EQ(CQeltCFG(dir.Path()).AlarmEntries().size(), 2u);

    // 添  加 refills whether the entry dialog ended with OK or not.
    int asked = 0;
    dialog.SetEntryDialog([&](QWidget*) {
        if (++asked == 1) cfg.AddAlarmEntry({"0112", "20270125", "1.000", "0.000", "0", "0"});
    });
    Child<QPushButton>(dialog, "add")->click();
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"0121", "0145", "0112"}));
    Child<QPushButton>(dialog, "add")->click();
    EXPECT_EQ(list->rowCount(), 3);

    auto* onOff = Child<QPushButton>(dialog, "onOff");
    EXPECT_EQ(onOff->text(), "开  启");
    onOff->click();
    EXPECT_EQ(onOff->text(), "关  闭");
    onOff->click();
    EXPECT_EQ(onOff->text(), "开  启");
    EXPECT_EQ(switched, (std::vector<bool>{true, false}));
}

/// A store holding a category table and the given "alarm" replies.
class AlarmWindow : public AlarmDialogs {
  protected:
    AlarmWindow() : store(poster, targets) { store.Dispatch("category:0112|生丝|0||0121|干茧|0||"); }
    test::QueuePoster poster;
    MessageTargets targets;
    CQeltData store;
};

TEST_F(AlarmWindow, ShowsTheNewestFirstWithTheCategoryName) {
    CQeltAlarmDlg window(store);
    EXPECT_EQ(window.windowTitle(), "预警系统");
    auto* list = Child<QTableWidget>(window, "list");
    EXPECT_EQ(Headers(list),
              (std::vector<std::string>{"商品/90", "价/60", "量/30", "仓/30", "时间/60", "类别/70"}));
    EXPECT_FALSE(window.Refresh()) << "nothing fired yet";
    EXPECT_EQ(list->rowCount(), 0);

    store.Dispatch("alarm:2|9999|20270125|1.50|2|3||1|0112|20261225|12345.00|40|7||");
    EXPECT_TRUE(window.Refresh());
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"270125", "生丝261225"}))
        << "an unknown goods: only the delivery date";
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"1.50", "12345.00"}));
    EXPECT_EQ(Column(list, 3), (std::vector<std::string>{"3", "7"}));
    store.Dispatch("alarm:3|0121|20261225|9.00|1|1||2|9999|20270125|1.50|2|3||");
    EXPECT_TRUE(window.Refresh());
    EXPECT_EQ(Column(list, 0).front(), "干茧261225");
    EXPECT_EQ(Column(list, 4).front().size(), 8u) << "the time of the hit, HH:MM:SS";
    EXPECT_FALSE(window.Refresh());
    EXPECT_EQ(Headers(list),
              (std::vector<std::string>{"商品/90", "价/60", "量/30", "仓/30", "时间/60", "类别/70"}))
        << "short texts fit";

    // Six-digit prices and five-digit volumes of a real market: the columns widen to show them.
    store.Dispatch("alarm:4|0112|20270125|166410.00|12345|67890||");
    window.Refresh();
    const QFontMetrics metrics(list->font());
    for (int c : {1, 2, 3})
        EXPECT_GE(list->columnWidth(c), metrics.horizontalAdvance(list->item(0, c)->text()))
            << "column " << c;
    EXPECT_EQ(list->columnWidth(0), 90);

    window.resize(220, 170);
    window.show();
    window.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(list->geometry(), window.rect()) << "the list fills the window and follows its size";
    window.resize(220, 170);
    QApplication::processEvents();
    SaveShot(window, "alarm-window.png");
}

TEST_F(AlarmWindow, WidensSoTheTimeColumnShowsWholeWhenTheColumnsGrow) {
    CQeltAlarmDlg window(store);
    window.resize(kAlarmWindowSize);
    window.show();
    auto* list = Child<QTableWidget>(window, "list");
    // A real market's six-digit prices and five-digit volumes, more hits than rows.
    std::string reply = "alarm:";
    for (int id = 12; id > 0; --id) reply += FormatInt(id) + "|0112|20270125|166410.00|12345|67890||";
    store.Dispatch(reply);
    window.Refresh();
    QApplication::processEvents();
    const int timeRight = list->columnViewportPosition(4) + list->columnWidth(4);
    EXPECT_LE(timeRight, list->viewport()->width()) << "时间 ends inside the list";
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0) << "nothing to scroll to";
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.geometry()));
    SaveShot(window, "alarm-window-wide.png");

    // A window the user makes narrower stays so while the columns do not grow.
    window.resize(220, 170);
    store.Dispatch("alarm:13|0112|20270125|166410.00|12345|67890||");
    window.Refresh();
    EXPECT_EQ(window.width(), 220);
}

TEST_F(AlarmWindow, AnAlertRaisesTheWindowWithoutTheFocusAndNeverHangs) {
    CQeltAlarmDlg window(store);
    bool closed = false;
    window.SetCloseHook([&] {
        closed = true;
        window.hide();
    });
    EXPECT_TRUE(QFile::exists(":/sounds/alarm.wav")) << "the tone is built into the program";
    // The offscreen platform activates every window it shows, so what keeps the focus on a
    // real desktop is this attribute; what the window does itself is checked below.
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    // The tone is counted, not played: the audio system's threads, once a tone started them,
    // outlived the test and now and then held the program's end for ever.
    int tones = 0;
    window.Sound().SetOutput([&tones] { ++tones; });

    window.Alert();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(tones, 1);
    QWidget main;
    QLineEdit typing(&main);  // the user types here; the alert must not take the keys away
    main.show();
    main.activateWindow();
    typing.setFocus();
    ASSERT_TRUE(
        test::SpinUntil([&] { return QApplication::focusWidget() == &typing; }, std::chrono::seconds(30)));
    window.Alert();  // already shown: brought forward, the user's window keeps the keyboard
    window.Alert();
    // Whatever the alert posted (a raise, an activation) has been handled once a timer
    // posted after it has fired.
    bool settled = false;
    QTimer::singleShot(0, [&settled] { settled = true; });
    ASSERT_TRUE(test::SpinUntil([&] { return settled; }, std::chrono::seconds(30)));
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_EQ(QApplication::focusWidget(), &typing) << "the keys still go where the user types";
    EXPECT_EQ(tones, 3);
    EXPECT_EQ(window.Sound().Plays(), 3);

    window.close();
    EXPECT_TRUE(closed) << "closing the window goes through the application's switch";
    EXPECT_FALSE(window.isVisible());
}

// 条件预警: the list and its entry dialog, by keyboard, with a formula deleted under an entry.
TEST_F(AlarmDialogs, ConditionAlarmsAreAddedChangedAndDeletedByKeyAndTellABrokenFormula) {
    FormulaLibrary library(dir.Path());
    library.Load();
    StoredFormula breakout;
    breakout.name = "突破";
    breakout.parameters = {{"N", 20, 2, 100}};
    breakout.text = "突破:C>REF(HHV(H,N),1);";
    const int formula = library.Add(breakout).id;
    ConditionAlarmConfig config(dir.Path(), nullptr);
    ConditionGoodsChoices choices;
    choices.contracts = {{{"0112", "20261225"}, "生丝261225"}, {{"0121", "20261225"}, "干茧261225"}};
    choices.current.emplace(GoodsKey{"0121", "20261225"}, "干茧261225");
    int changes = 0;
    CQeltConditionAlarms list(
        config, library, [&] { return choices; },
        [](std::string_view goods) { return goods == "0112" ? std::string("生丝") : std::string("干茧"); },
        [&changes] { ++changes; }, boxes);
    auto* table = Child<QTableWidget>(list, "entries");
    EXPECT_EQ(Headers(table).size(), 4u);

    // 添加 through the real entry dialog: a value out of range is refused, then the chosen contracts.
    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<CQeltConditionAlarmEntry*>(QApplication::activeModalWidget());
        ASSERT_NE(entry, nullptr);
        auto* formulas = Child<QComboBox>(*entry, "formula");
        EXPECT_EQ(formulas->count(), 4) << "the three examples and 突破";
        formulas->setCurrentIndex(formulas->findText("突破"));
        auto* value = Child<QLineEdit>(*entry, "value0");
        EXPECT_EQ(value->text(), "20") << "the parameter's default";
        value->setText("101");
        entry->accept();
        EXPECT_TRUE(entry->isVisible()) << "refused";
        value->setText("30");
        Child<QComboBox>(*entry, "goodsMode")->setCurrentIndex(2);
        Child<QListWidget>(*entry, "contracts")->item(0)->setSelected(true);
        entry->accept();
    });
    Child<QPushButton>(list, "add")->click();
    ASSERT_EQ(config.Entries().size(), 1u);
    EXPECT_EQ(config.Entries()[0].values, std::vector<double>{30});
    EXPECT_EQ(config.Entries()[0].goods, (std::vector<GoodsKey>{{"0112", "20261225"}}));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, "参数N应在 2 到 100 之间。");
    EXPECT_EQ(Column(table, 0), std::vector<std::string>{"突破"});
    EXPECT_EQ(Column(table, 2), std::vector<std::string>{"生丝261225"});
    EXPECT_EQ(Column(table, 3), std::vector<std::string>{"开启"});

    // Enter on a row is 修改: the entry dialog the list runs gets the entry as it is.
    list.SetEntryDialog([](QWidget*, ConditionAlarmEntry entry) -> std::optional<ConditionAlarmEntry> {
        entry.selfSelected = true;
        entry.goods.clear();
        return entry;
    });
    table->setCurrentCell(0, 0);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(table, &enter);
    EXPECT_EQ(Column(table, 2), std::vector<std::string>{"自选"});

    // The formula goes: the entry says so and cannot be switched on until it is mended.
    ASSERT_TRUE(library.Remove(formula).applied);
    config.SetOn(config.Entries()[0].id, false);  // what the application does at its next pass
    list.Refill();
    EXPECT_EQ(Column(table, 3), std::vector<std::string>{"公式已删除"});
    Child<QPushButton>(list, "onOff")->click();
    EXPECT_FALSE(config.Entries()[0].on);
    EXPECT_EQ(boxes.shown.back().first, "公式已删除，请先修改这条预警。");

    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(table, &del);
    EXPECT_TRUE(config.Entries().empty());
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_EQ(changes, 3) << "added, changed, deleted";
}

}  // namespace
}  // namespace qelt
