// The commands that show a dialog beside the main window: find, the folder
// scan and the skin manager. Each dialog is made on first use and hidden,
// not deleted, when closed, so it is never deleted under a running handler.

#include "core/reading/reader.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/dialogs/folder_scan_dialog.h"
#include "ui/dialogs/jump_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/skins/skin_manager_dialog.h"
#include "ui/widgets/page_keys_keeper.h"

#include <QScreen>

#include <algorithm>

void MainWindow::ShowFindDialog()
{
    // Closing the panel only hides it: it comes back as it was left, with
    // its text ready to be typed over.
    if (!findDialog_) {
        findDialog_ = new FindDialog(*reader_, prompter_, this);
        // The 书架 scope: every book of the library, each in its encoding.
        findDialog_->SetLibraryBooks([this] {
            QList<LibraryFile> files;
            for (const LibraryBook& book : reader_->Library().Books())
                files.append({book.path, book.encoding});
            return files;
        });
        connect(findDialog_, &FindDialog::LibraryHitChosen, this,
                [this](const QString& path, EncodingChoice, int chapter, qsizetype offset, qsizetype length) {
                    reader_->ShowFoundInFile(path, chapter, offset, length);
                });
        // Beside the window where the screen has room, else over its lower
        // right corner: never over the middle of the page, where hits show.
        const QRect frame = frameGeometry();
        const QRect room = screen()->availableGeometry();
        QPoint at(frame.right() + 1, frame.bottom() - findDialog_->height());
        if (at.x() + findDialog_->width() > room.right())
            at.setX(frame.right() - findDialog_->width());
        findDialog_->move(at.x(), std::max(at.y(), room.top()));
    }
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
    findDialog_->FocusFindText();
}

// Shows the folder scan modeless, at the folder the last book was chosen in.
void MainWindow::OpenFolder()
{
    if (!folderScan_)
        folderScan_ = new FolderScanDialog(*reader_, prompter_, this);
    else if (!folderScan_->isVisible())
        folderScan_->StartAtCurrentFolder();
    folderScan_->show();
    folderScan_->raise();
}

void MainWindow::ShowSkinManager()
{
    // Already open: brought forward, not read again.
    if (skinManager_ && skinManager_->isVisible()) {
        skinManager_->raise();
        skinManager_->activateWindow();
        return;
    }
    if (!skinManager_)
        skinManager_ = new SkinManagerDialog(*reader_, prompter_, this);
    skinManager_->Reload();
    skinManager_->show();
}

// 跳到章节: opens afresh every time, at the current chapter of the current
// book; page keys pressed in it move through its list.
void MainWindow::ShowJumpDialog()
{
    if (!jumpDialog_) {
        jumpDialog_ = new JumpDialog(*reader_, this);
        pageKeysKeeper_->Watch(jumpDialog_);
    }
    jumpDialog_->ShowAfresh();
}
