#include "ui/dialogs/form5.h"

#include "platform/folder_listing.h"
#include "platform/prompter.h"
#include "platform/twips.h"
#include "text/open_book.h"
#include "ui/main/form4.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QStorageInfo>

Form5::Form5(Form4& main)
    : QWidget(&main, Qt::Window)
    , main_(main)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("打描并打开所有文本文件"));
    resize(TwipsToPixels(4800), TwipsToPixels(4200));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->setGeometry(TwipsRect(120, 120, 4560, 315));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            Drive1->addItem(volume.rootPath(), volume.rootPath());
    }

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());
    Dir1 = new QTreeView(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setHeaderHidden(true);
    Dir1->setGeometry(TwipsRect(120, 555, 4560, 2880));

    Command1 = new QPushButton(QStringLiteral("扫描"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(TwipsRect(1800, 3600, 1335, 375));
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(TwipsRect(3345, 3600, 1335, 375));

    connect(Drive1, &QComboBox::activated, this, &Form5::Drive1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    StartAtCurrentFolder();
}

QString Form5::DirPath() const
{
    return folders_->filePath(Dir1->currentIndex());
}

void Form5::SetDirPath(const QString& path)
{
    const QModelIndex index = folders_->index(QDir(path).absolutePath());
    if (!index.isValid())
        return;
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index);
    Dir1->expand(index);
}

void Form5::StartAtCurrentFolder()
{
    const QString current = QDir::currentPath();
    const int drive = Drive1->findData(QStorageInfo(current).rootPath());
    if (drive >= 0)
        Drive1->setCurrentIndex(drive);
    SetDirPath(current);
}

void Form5::Drive1_Change()
{
    // A drive that cannot be read is ignored: the folder list stays.
    const QString root = Drive1->currentData().toString();
    if (QDir(root).isReadable())
        SetDirPath(root);
}

void Form5::Command2_Click()
{
    hide();
}

void Form5::Command1_Click()
{
    if (main_.Prompts().Message(QStringLiteral("是否打开整个选中文件夹所有文本文件?"), QStringLiteral("提示"),
                                Prompter::Icon::Question, Prompter::Buttons::YesNo)
        != Prompter::Answer::Yes) {
        hide();
        return;
    }
    const QString folder = DirPath();
    const QDir dir(folder);
    const QStringList names = ListPlainFiles(folder, QStringLiteral(".txt"));
    ++scans_;
    // Every file goes through the opening sequence; a file that fails is
    // reported or skipped, and the scan never stops early. "取消" only hides
    // the dialog: the scan goes on, and the dialog is never deleted under it.
    for (const QString& name : names) {
        OpenBook(main_, dir.filePath(name));
        if (main_.Quitting())
            break;
        QCoreApplication::processEvents();
        if (main_.Quitting())
            break;
    }
    --scans_;
    if (!main_.Quitting())
        hide();
}
