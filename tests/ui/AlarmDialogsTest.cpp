// The price alarm dialogs and the alarm window on the offscreen platform: what they show,
// what their buttons change, and an alarm announced without taking the focus or hanging
// on a machine without sound. With QELT_ALARM_PNG=DIR the three windows are saved there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <chrono>

#include "TestApplication.h"
#include "common/Files.h"
#include "data/CQeltData.h"
#include "data/settings/CQeltCFG.h"
#include "support/QueuePoster.h"
#include "support/TempDir.h"
#include "ui/AlarmSound.h"
#include "ui/dialogs/CQeltAlarm.h"
#include "ui/dialogs/CQeltAlarmDlg.h"
#include "ui/dialogs/CQeltAlarmList.h"
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
    Child<QPushButton>(dialog, "ok")->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, AlarmEntryModel::kCountRange);
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays open";
    EXPECT_TRUE(cfg.AlarmEntries().empty());
    EXPECT_TRUE(volume->hasFocus() || QApplication::focusWidget() == volume || !dialog.isActiveWindow());

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
    EXPECT_EQ(Headers(list), (std::vector<std::string>{"商品/90", "价/60", "量/30", "仓/30", "时间/60"}));
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
    EXPECT_EQ(Headers(list), (std::vector<std::string>{"商品/90", "价/60", "量/30", "仓/30", "时间/60"}))
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

    // No sound server here (CI runs as root without one): the tone must simply not be heard.
    const auto start = std::chrono::steady_clock::now();
    window.Alert();
    EXPECT_TRUE(window.isVisible());
    QWidget main;
    main.show();
    main.activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &main);
    window.Alert();  // already shown: brought forward, the user's window keeps the keyboard
    for (int i = 0; i < 20; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(QApplication::activeWindow(), &main);
    EXPECT_EQ(window.Sound().Plays(), 2);

    window.close();
    EXPECT_TRUE(closed) << "closing the window goes through the application's switch";
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace qelt
