// 查看 → 设置: the reader's font and the page's spacing, margins, text
// column and justification, shown at once and kept in reader.conf; and the
// 同步 page (sync_commands.cpp).

#include "ui/dialogs/reading_settings_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/user_settings.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QMenu>

void MainWindow::BuildReadingSettings()
{
    settingsAction = new QAction(QStringLiteral("设置…"), viewMenu);
    settingsAction->setObjectName(QStringLiteral("settingsAction"));
    viewMenu->insertAction(encodingMenu->menuAction(), settingsAction);
    connect(settingsAction, &QAction::triggered, this, &MainWindow::ShowReadingSettings);
    readingSettings_ = LoadReadingSettings(*UserSettings(folders_));
    ApplyReadingSettings(readingSettings_);
}

void MainWindow::ShowReadingSettings()
{
    auto* dialog = new ReadingSettingsDialog(readingSettings_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    settingsDialog_ = dialog;
    AddSyncPage(dialog);
    connect(dialog, &ReadingSettingsDialog::Changed, this, &MainWindow::ApplyReadingSettings);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        readingSettings_ = dialog->Settings();
        SaveReadingSettings(*UserSettings(folders_), readingSettings_);
        ApplyReadingSettings(readingSettings_);
    });
    connect(dialog, &QDialog::rejected, this, [this] { ApplyReadingSettings(readingSettings_); });
    dialog->open();
}

void MainWindow::ApplyReadingSettings(const ReadingSettings& settings)
{
    const bool ownFontGone = !shownFontFamily_.isEmpty() && settings.fontFamily.isEmpty();
    shownFontFamily_ = settings.fontFamily;
    readingPane->SetTypography(settings.typography);
    // The reader's own font, or back to the page's first one for the skin
    // to name its own over it.
    if (ownFontGone || !settings.fontFamily.isEmpty()) {
        QFont font = readingPane->font();
        font.setFamily(ownFontGone ? defaultFontFamily_ : settings.fontFamily);
        readingPane->setFont(font);
    }
    if (state_.Books.IsBook(state_.CurrentBook))
        ApplySkin();
}
