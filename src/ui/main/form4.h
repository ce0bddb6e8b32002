#pragma once

#include "app/reader_state.h"
#include "text/text_loader.h"
#include "ui/common/clickable_label.h"
#include "ui/common/menu_item_array.h"
#include "ui/common/picture_box.h"
#include "ui/common/reading_pane.h"
#include "ui/main/main_layout.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <array>

class Prompter;
class Form2;
class Form3;
class KeyState;
class PictureCache;
class TextEditorLauncher;

// The main window: title panel, backdrop band, reading pane, the two
// button columns, the menus and the key-polling timer. It also hosts the
// loader, which lets the event loop run while a book loads.
class Form4 : public QMainWindow, public LoaderHost {
    Q_OBJECT
public:
    Form4(ReaderState& state, Prompter& prompter, const QString& programFolder, QWidget* parent = nullptr);
    ~Form4() override;

    ReaderState& State() { return state_; }
    Prompter& Prompts() { return prompter_; }
    const QString& ProgramFolder() const { return programFolder_; }

    // Controls, under the names the rest of the program knows them by.
    PictureBox* Picture1;
    QLabel* Label1;
    ReadingPane* Text1;
    std::array<ClickableLabel*, 3> Image1;
    std::array<ClickableLabel*, 3> Label2;
    std::array<ClickableLabel*, 3> Image2;
    std::array<ClickableLabel*, 3> Label3;
    QTimer* Timer1;

    // Menus and items.
    QMenu* files;
    QAction* open;
    QAction* cor;
    QAction* chno;
    QAction* openfils;
    QMenu* Lfile;
    MenuItemArray* Nl;
    QAction* quit;
    QMenu* Ciw;
    QMenu* allbook;
    MenuItemArray* Bnull;
    QMenu* ListT;
    MenuItemArray* ZNull;
    QAction* find;
    QMenu* font1;
    QAction* Llfont;
    QAction* Lfont;
    QAction* xfont;
    QAction* sfont;
    QAction* ssfont;
    QMenu* ski;
    MenuItemArray* skin;

    // The layout at load for a screen of the given size in twips.
    void LayOut(double screenWidth, double screenHeight);
    const MainLayout& Layout() const { return layout_; }

    void SetBackColor(const QColor& colour);
    QColor BackColor() const;
    void SetBandColor(const QColor& colour);
    QColor BandColor() const;
    void SetPaneColors(const QColor* text, const QColor* background);

    // The splash shown while a book opens.
    Form2& Splash();
    // The cover window, made on first use (without showing it).
    Form3& Cover();
    bool HasCover() const { return !cover_.isNull(); }
    PictureCache& Pictures() { return *pictures_; }

    // Set once the window is closing: loads in progress stop at their next
    // yield without touching a widget.
    bool Quitting() const { return quitting_; }

    // LoaderHost
    void ShowChapter() override;
    bool PaneIsEmpty() const override;
    bool Yield() override;

    // The chapter menu shows this book's chapters as they were last listed.
    struct ChapterMenuKey {
        int book = -1;
        int chapters = -1;
        QString lastTitle;
        bool operator==(const ChapterMenuKey&) const = default;
    };
    ChapterMenuKey chapterMenuKey;

public slots:
    // Navigation
    void Image1_Click(int index);
    void Image2_Click(int index);
    void Label2_Click(int index) { Image1_Click(index); }
    void Label3_Click(int index) { Image2_Click(index); }
    void Timer1_Timer();
    void Bnull_Click(int index);
    void ZNull_Click(int index);
    void Text1_KeyPress(int& character);
    void Text1_Change();
    // File menu
    void open_Click();
    void Nl_Click(int index);
    void chno_Click();
    void cor_Click();
    void openfils_Click();
    void quit_Click();
    // View and skins
    void find_Click();
    void skin_Click(int index);
    // Font sizes
    void Llfont_Click() { SetPaneFontSize(18); }
    void Lfont_Click() { SetPaneFontSize(16); }
    void xfont_Click() { SetPaneFontSize(14); }
    void sfont_Click() { SetPaneFontSize(12); }
    void ssfont_Click() { SetPaneFontSize(10); }

public:
    void SetPaneFontSize(double points);
    void SetTextEditorLauncher(TextEditorLauncher* launcher) { editor_ = launcher; }
    KeyState* Keys() const { return keys_; }
    void SetKeyState(KeyState* keys) { keys_ = keys; }

    // The dialogs, made on first use; hidden, not deleted, when closed.
    QPointer<QWidget> findDialog;
    QPointer<QWidget> skinManager;
    QPointer<QWidget> folderScan;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void Form_Load();
    void Form_Unload();
    void OpenSequence(const QString& path, bool fromOpenDialog);
    void ShowSkinManager();
    void EndProgram();

    ReaderState& state_;
    Prompter& prompter_;
    QString programFolder_;
    MainLayout layout_;
    QWidget* canvas_;
    Form2* splash_ = nullptr;
    QPointer<Form3> cover_;
    std::unique_ptr<PictureCache> pictures_;
    KeyState* keys_ = nullptr;
    TextEditorLauncher* editor_ = nullptr;
    bool quitting_ = false;
    bool inTimerTick_ = false;
};
