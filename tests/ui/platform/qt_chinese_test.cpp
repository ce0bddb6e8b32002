// Qt's own dialogs and buttons in a Chinese program read in Chinese.

#include "ui/platform/qt_chinese.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

TEST(QtChinese, StandardButtonsAndTheOpenDialogReadInChinese)
{
    QTranslator* translator = InstallQtChinese();
    if (!translator)
        GTEST_SKIP() << "qtbase_zh_CN.qm is not in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()
                     << " (Debian package qt6-translations-l10n)";

    QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("问"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
    EXPECT_TRUE(box.button(QMessageBox::Ok)->text().contains(QStringLiteral("确定")));
    EXPECT_TRUE(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("取消")));

    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    ASSERT_NE(buttons->button(QDialogButtonBox::Open), nullptr);
    EXPECT_TRUE(buttons->button(QDialogButtonBox::Open)->text().contains(QStringLiteral("打开")));

    // Without the translation the same buttons are English: the test sees
    // the translator's doing, not a Chinese system.
    QCoreApplication::removeTranslator(translator);
    delete translator;
    QMessageBox english(QMessageBox::Question, QString(), QString(), QMessageBox::Yes);
    EXPECT_FALSE(english.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
}

}  // namespace
