#include "ui/main_window/start_up.h"

#include "core/files/plain_file.h"
#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/colour.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/picture_box.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>
#include <QStringList>

namespace {

const QString kBannerTitle = QStringLiteral("热列庆祝中华人民共和国成立60周年");
const QString kDefaultSkin = QStringLiteral("言情");

void LoadRecentList(MainWindow& window)
{
    for (const QString& path : window.Reading().Memory().RecentPaths())
        window.RecentFiles().AddEntry(path);
}

}  // namespace

void LoadSkins(MainWindow& window)
{
    if (!window.Reading().LoadSkins())
        return;
    // Loading an entry that exists already fails and ends the run, so the
    // menu keeps the captions it got the first time.
    const SkinTable& skins = window.State().Skins;
    for (int i = 1; i <= skins.Count(); ++i) {
        if (!window.SkinItems().Load(i, skins[i].Name))
            return;
    }
}

QString BuiltInHelpText(const ReaderFolders& folders)
{
    const QString indent(5, u' ');
    const QStringList lines = {
        QStringLiteral("热列庆祝中华人民共和国成立60周年!"),
        QStringLiteral("欢迎使用 NandeoTxt 文件阅读器，祝您阅读愉快!"),
        QStringLiteral("Txt电子文档阅读器使用说明:"),
        QStringLiteral("1、 Page Up 键往上翻页"),
        QStringLiteral("2、 Page Down 键向下翻页"),
        QStringLiteral("3 、 打开批量文件"),
        indent
            + QStringLiteral("文件->打开文件夹 "
                             "在弹出的对话框中选择文件夹后打开，可以打开该文件夹下所有txt文档。适用于所有以章节形式保存"
                             "的电子文档。"),
        indent
            + QStringLiteral(
                "打开后，选查看->所有电子书中，查看已打开的电子文档。看完后点击右边下一本，可以查看下一本书籍。"),
        indent
            + QStringLiteral("某些以章节形式保存的电子文档，打开后只能看到章节号及名称，看不到本章内容，按Page Down "
                             "键向下翻页,即可看到内容，看完之后，点击 下一本 即可翻阅下一章内容。"),
        QStringLiteral("4、可以识别的文件格式 章节形式以如下列表保存的内容: 第一章 第一节 第一部 1  一 等，不能识别如 "
                       "鬼吹灯第一部 如此排列的文档。"),
        QStringLiteral("5、查看->所有章节 下的章节是当前阅读的章节。"),
        QStringLiteral("6、Txt电子文档阅读器对文中的内容不可以编辑、保存。"),
        QStringLiteral("7、显示不正常的文件，可以点击 文件->转入记事本 查看。"),
        QStringLiteral("8、所有图片图标均来自互联网，感谢创作图片图标的朋友们!"),
        QString(),
        QStringLiteral("关于本阅读器:"),
        QStringLiteral("    NandeoTxt 文件阅读器按章节阅读 GBK 与 UTF-8 编码的 txt 小说，"),
        QStringLiteral("    记住每本书读到的章节和所用的皮肤，外观全部来自 Skin 文件夹里的皮肤文件。"),
        folders.IsPortable() ? QStringLiteral("    阅读进度与最近打开的文件保存在程序目录下的 book.ini 中。")
                             : QStringLiteral("    阅读进度与最近打开的文件保存在 %1 下的 book.ini 中。")
                                   .arg(QDir::toNativeSeparators(folders.state)),
    };
    return lines.join(QStringLiteral("\r\n"));
}

void PaintHelpBanner(MainWindow& window)
{
    PictureBox& panel = window.TitlePanel();
    panel.SetBackColor(Rgb(192, 240, 249));
    panel.SetForeColor(Rgb(65, 68, 68));
    QFont font(QStringLiteral("隶书"));
    font.setPointSizeF(36);
    font.setBold(true);
    panel.SetFont(font);
    panel.CurrentY = 130;
    panel.CurrentX = (panel.ScaleWidth() - panel.TextWidth(kBannerTitle)) / 2 + 45;
    panel.Print(kBannerTitle);
    panel.SetForeColor(Rgb(254, 0, 0));
    panel.CurrentY = 100;
    panel.CurrentX = (panel.ScaleWidth() - panel.TextWidth(kBannerTitle)) / 2;
    panel.Print(kBannerTitle);
    panel.SetForeColor(Qt::black);
}

void StartUp(MainWindow& window, const QStringList& books)
{
    LoadSkins(window);
    window.Reading().UseSkinNamed(kDefaultSkin);
    window.RestoreNightMode();
    LoadRecentList(window);
    if (!books.isEmpty()) {
        // Shown first: each book appears as it loads.
        window.show();
        window.OpenPaths(books);
        return;
    }
    if (window.ContinuesReading()) {
        const QString last = LastBookRead(window.Reading().Library());
        if (!last.isEmpty()) {
            window.show();
            window.OpenPaths({last});
            return;
        }
    }
    window.ShowHelp();
    if (!window.Quitting())
        window.show();
}

QString LastBookRead(const LibraryStore& library)
{
    for (const LibraryBook& book : library.Books()) {
        if (!book.lastRead.isValid())
            break;  // the rest were added, never read
        if (IsListedFile(book.path))
            return book.path;
    }
    return {};
}

void MainWindow::ShowHelp()
{
    const QString help = folders_.DataFile(QString::fromUtf16(kHelpDocumentName));
    if (!IsListedFile(help)) {
        SetPaneText(BuiltInHelpText(folders_));
        PaintHelpBanner(*this);
    } else if (const int slot = state_.Books.FindByPath(help); slot != 0) {
        reader_->ShowBook(slot);
    } else if (!reader_->Loading()) {
        reader_->Open({help}, Reader::OpenKind::Plain);
    }
}
