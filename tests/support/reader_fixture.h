#pragma once

#include "core/books/reader_state.h"
#include "support/scripted_prompter.h"
#include "support/test_files.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/start_up.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/picture_box.h"
#include "ui/widgets/reading_pane.h"

#include <QDir>

#include <memory>

// A program folder in a temporary directory and the real main window on it.
class ReaderFixture : public ::testing::Test {
protected:
    void SetUp() override { MakeWindow(); }

    void MakeWindow()
    {
        window.reset();
        window = std::make_unique<MainWindow>(state, prompter, ReaderFolders::Portable(program.Root()));
    }

    // A skin file of the program folder, written as GBK lines ending in CR LF.
    QString WriteSkin(const QString& name, const QStringList& lines)
    {
        return program.WriteGbk(QStringLiteral("Skin/") + name + QStringLiteral(".ini"),
                                lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    // The skins 言情 and 水墨 (font size only) in the program folder, loaded
    // into the window's skin menu.
    void LoadTwoSkins()
    {
        for (const char* name : {"言情", "水墨"})
            WriteSkin(QString::fromUtf8(name), {QStringLiteral("[Version1.0]"), QStringLiteral("FontSize=12")});
        LoadSkins(*window);
    }
    // book.ini in the program folder: GBK lines ending in CR LF.
    void WriteIni(const QStringList& lines)
    {
        program.WriteGbk(QStringLiteral("book.ini"), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
    // A GBK book in a folder of its own (not the program folder).
    QString WriteBook(const QString& name, const QString& text) { return books.WriteGbk(name, text); }

    TempFolder program;
    TempFolder books;
    ReaderState state;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> window;
};
