// The File menu: opening a book from the open dialog or the recent files
// (the Reader restores its chapter and skin from book.ini); handing the
// book to the text editor; the switched-off "save as Cor" command.

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/platform/text_editor.h"
#include "ui/widgets/menu_item_array.h"

namespace {

const QString kTip = QStringLiteral("提示");

}  // namespace

void MainWindow::OpenFile()
{
    if (reader_->Loading()) {
        prompter_.Message(QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!"), kTip,
                          Prompter::Icon::Critical);
        return;
    }
    const std::optional<QString> chosen = prompter_.OpenFile(QStringLiteral("文本文件|*.txt"));
    if (!chosen)
        return;
    reader_->OpenCommand(*chosen, Reader::OpenKind::Chosen);
}

void MainWindow::OpenRecent(int index)
{
    if (recentFiles->IsPlaceholder(index))
        return;
    reader_->OpenCommand(recentFiles->Caption(index), Reader::OpenKind::Recent);
}

void MainWindow::OpenInTextEditor()
{
    const QString path = state_.Books.IsBook(state_.CurrentBook) ? state_.Current().Path : QString();
    SystemTextEditor systemEditor;
    TextEditorLauncher& launcher = editor_ ? *editor_ : systemEditor;
    if (!launcher.Launch(path))
        prompter_.Message(QStringLiteral("无法启动文本编辑器，请用其他程序打开该文件。"), kTip,
                          Prompter::Icon::Exclamation);
}

void MainWindow::SaveAsCor()
{
    // Asks for a name and writes nothing: the command was never finished.
    const std::optional<QString> chosen = prompter_.SaveFile(QStringLiteral("文本文件|*.Cor"));
    if (!chosen)
        return;
    QString name = *chosen;
    if (!name.endsWith(QStringLiteral(".Cor")))
        name += QStringLiteral(".Cor");
    (void)name;
}
