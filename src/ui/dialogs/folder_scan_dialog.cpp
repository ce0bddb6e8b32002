#include "ui/dialogs/folder_scan_dialog.h"

#include "core/books/book_store.h"
#include "core/files/folder_listing.h"
#include "core/reading/reader.h"
#include "ui/platform/prompter.h"
#include "ui/platform/twips.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

FolderScanDialog::FolderScanDialog(Reader& reader, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , reader_(reader)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("folderScanDialog"));
    setWindowTitle(QStringLiteral("打描并打开所有文本文件"));
    resize(TwipsToPixels(4800), TwipsToPixels(4200));

    driveList = new QComboBox(this);
    driveList->setObjectName(QStringLiteral("driveList"));
    driveList->setGeometry(TwipsRect(120, 120, 4560, 315));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            driveList->addItem(volume.rootPath(), volume.rootPath());
    }

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());
    folderTree = new QTreeView(this);
    folderTree->setObjectName(QStringLiteral("folderTree"));
    folderTree->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        folderTree->hideColumn(column);
    folderTree->setHeaderHidden(true);
    folderTree->setGeometry(TwipsRect(120, 555, 4560, 2880));
    folderTree->installEventFilter(this);
    folderTree->viewport()->installEventFilter(this);

    scanButton = new QPushButton(QStringLiteral("扫描"), this);
    scanButton->setObjectName(QStringLiteral("scanButton"));
    scanButton->setGeometry(TwipsRect(1800, 3600, 1335, 375));
    cancelButton = new QPushButton(QStringLiteral("取消"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(TwipsRect(3345, 3600, 1335, 375));

    // The model reads folders in the background: as the folders on the way
    // to the chosen one come in, the rows above it move, so it is scrolled
    // into sight again once each batch of rows is laid out, and again when
    // the model sorts a folder's rows, which it does a moment later.
    rescroll_ = new QTimer(this);
    rescroll_->setSingleShot(true);
    rescroll_->setInterval(0);
    connect(rescroll_, &QTimer::timeout, this, &FolderScanDialog::KeepCurrentFolderInSight);
    connect(folders_, &QFileSystemModel::rowsInserted, rescroll_, qOverload<>(&QTimer::start));
    connect(folders_, &QFileSystemModel::directoryLoaded, rescroll_, qOverload<>(&QTimer::start));
    connect(folders_, &QFileSystemModel::layoutChanged, rescroll_, qOverload<>(&QTimer::start));
    connect(driveList, &QComboBox::activated, this, &FolderScanDialog::OnDriveChosen);
    connect(scanButton, &QPushButton::clicked, this, &FolderScanDialog::Scan);
    connect(cancelButton, &QPushButton::clicked, this, &FolderScanDialog::Cancel);
    StartAtCurrentFolder();
}

QString FolderScanDialog::FolderPath() const
{
    return folders_->filePath(folderTree->currentIndex());
}

void FolderScanDialog::SetFolderPath(const QString& path)
{
    const QModelIndex index = folders_->index(QDir(path).absolutePath());
    if (!index.isValid())
        return;
    // Selected and in sight, so the user sees which folder the question is about.
    followCurrent_ = true;
    folderTree->setCurrentIndex(index);
    folderTree->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    folderTree->expand(index);
    folderTree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void FolderScanDialog::KeepCurrentFolderInSight()
{
    // Only until the user moves in the tree: then the view is theirs.
    if (followCurrent_ && folderTree->currentIndex().isValid())
        folderTree->scrollTo(folderTree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

bool FolderScanDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == folderTree->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel))
        followCurrent_ = false;
    if (watched == folderTree && event->type() == QEvent::KeyPress)
        followCurrent_ = false;
    return QWidget::eventFilter(watched, event);
}

void FolderScanDialog::showEvent(QShowEvent* event)
{
    // Centred over the main window, not wherever the platform puts a new window.
    if (const QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    QWidget::showEvent(event);
    if (folderTree->currentIndex().isValid())
        folderTree->scrollTo(folderTree->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void FolderScanDialog::StartAtCurrentFolder()
{
    const QString current = reader_.LastFolder();
    const int drive = driveList->findData(QStorageInfo(current).rootPath());
    if (drive >= 0)
        driveList->setCurrentIndex(drive);
    SetFolderPath(current);
}

void FolderScanDialog::OnDriveChosen()
{
    // A drive that cannot be read is ignored: the folder tree stays.
    const QString root = driveList->currentData().toString();
    if (QDir(root).isReadable())
        SetFolderPath(root);
}

void FolderScanDialog::Cancel()
{
    hide();
}

void FolderScanDialog::Scan()
{
    if (prompter_.Message(QStringLiteral("是否打开整个选中文件夹所有文本文件?"), QStringLiteral("提示"),
                          Prompter::Icon::Question, Prompter::Buttons::YesNo)
        != Prompter::Answer::Yes) {
        hide();
        return;
    }
    const QString folder = FolderPath();
    const QDir dir(folder);
    QStringList paths;
    for (const QString& name : ListPlainFiles(folder, QStringLiteral(".txt")))
        paths.append(dir.filePath(name));
    ++scans_;
    // Every file goes through the opening sequence, one after the other; a
    // file that fails is reported or skipped, and the scan never stops
    // early. "取消" only hides the dialog: the scan goes on.
    reader_.OpenFolder(paths, [this](int opened, int leftOut) { Scanned(opened, leftOut); });
}

// `leftOut` books found no room in the store: told once, at the end.
void FolderScanDialog::Scanned(int opened, int leftOut)
{
    --scans_;
    hide();
    if (leftOut > 0)
        prompter_.Message(QStringLiteral("溢出：最多只能同时打开 %1 本电子书。这个文件夹打开了 %2 本，还有 %3 "
                                         "本没有打开。")
                              .arg(BookStore::kMaxBooks)
                              .arg(opened)
                              .arg(leftOut),
                          QStringLiteral("提示"), Prompter::Icon::Exclamation);
}
