#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include "TestApplication.h"
#include "ui/QtTranslations.h"

namespace qelt {
namespace {

// The standard dialogs a user meets (message boxes, save dialogs, print preview) take their
// button and label texts from Qt's own catalogues: with them installed they are Chinese.
TEST(QtTranslations, StandardButtonsAndTheSaveDialogSpeakChinese) {
    auto& app = test::App();
    ASSERT_GE(InstallQtTranslations(app, QStringLiteral("zh_CN")), 1)
        << "Qt's translations (Debian package qt6-translations-l10n) are missing";

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("保存"));

    // Qt's own file dialog (the one the export commands open when the desktop has none).
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("*.csv"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    bool sawChineseLabel = false;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text().contains(QStringLiteral("文件"))) sawChineseLabel = true;
    EXPECT_TRUE(sawChineseLabel);
}

TEST(QtTranslations, AnUnknownLocaleLoadsNothingAndKeepsQtWorking) {
    auto& app = test::App();
    EXPECT_EQ(InstallQtTranslations(app, QStringLiteral("xx_XX")), 0);
}

}  // namespace
}  // namespace qelt
