#include "ui/main_window/main_window.h"

#include "core/reading/reader.h"
#include "ui/dialogs/cover_window.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/dialogs/folder_scan_dialog.h"
#include "ui/dialogs/jump_dialog.h"
#include "ui/main_window/splash_window.h"
#include "ui/platform/colour.h"
#include "ui/platform/prompter.h"
#include "ui/platform/twips.h"
#include "ui/skins/skin_manager_dialog.h"
#include "ui/widgets/background.h"
#include "ui/widgets/captioned_button.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/menu_item_array.h"
#include "ui/widgets/page_keys_keeper.h"
#include "ui/widgets/picture_box.h"
#include "ui/widgets/picture_cache.h"
#include "ui/widgets/reading_pane.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

// The built-in pictures live in a static library, whose resource
// initializer the linker would drop unless called by name.
static void InitBuiltInPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

void Place(QWidget* widget, const TwipsBox& box)
{
    widget->setGeometry(TwipsRect(box.left, box.top, box.width, box.height));
}

void Place(CaptionedButton* button, const TwipsBox& picture, const TwipsBox& caption)
{
    button->Place(TwipsRect(picture.left, picture.top, picture.width, picture.height),
                  TwipsRect(caption.left, caption.top, caption.width, caption.height));
}

}  // namespace

MainWindow::MainWindow(ReaderState& state, Prompter& prompter, const ReaderFolders& folders, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
    , prompter_(prompter)
    , folders_(folders)
    , reader_(new Reader(state, folders, *this, this))
    , pictures_(std::make_unique<PictureCache>())
{
    InitBuiltInPictures();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("NandeoTxt文件阅读器"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    BuildControls();
    BuildMenus();
    BuildChapterNavigation();
    BuildEncodingMenu();
    BuildScriptMenu();
    BuildRuleCommands();
    BuildReadingModes();
    BuildAutoScroll();
    BuildReadAloud();
    BuildProgressLine();
    SetUpAtLoad();
    BuildReadingSettings();
    BuildLibraryCommands();
    BuildSync();
    AcceptBookDrops();
    PlaceWindow();
}

MainWindow::~MainWindow()
{
    // The worker stops before the widgets it fills go.
    reader_->StopLoading();
}

void MainWindow::BuildControls()
{
    canvas = new QWidget(this);
    canvas->setObjectName(QStringLiteral("canvas"));
    canvas->setAutoFillBackground(true);
    canvas->installEventFilter(this);
    setCentralWidget(canvas);
    resize(TwipsToPixels(14685), TwipsToPixels(7140));

    // Made back to front: the band, the buttons (each caption in front of
    // its picture), then the panel and the pane, which are windows of their own.
    backdropBand = new QLabel(canvas);
    backdropBand->setObjectName(QStringLiteral("backdropBand"));
    backdropBand->setAutoFillBackground(true);
    auto button = [this](const char* name, const QString& caption, void (MainWindow::*handler)()) {
        auto* made = new CaptionedButton(canvas, QString::fromLatin1(name), caption);
        connect(made, &CaptionedButton::Clicked, this, handler);
        return made;
    };
    previousChapterButton = button("previousChapterButton", QStringLiteral("上一页"), &MainWindow::PreviousChapter);
    contentsButton = button("contentsButton", QStringLiteral("主目录"), &MainWindow::ShowContents);
    nextChapterButton = button("nextChapterButton", QStringLiteral("下一页"), &MainWindow::NextChapter);
    previousBookButton = button("previousBookButton", QStringLiteral("上一本"), &MainWindow::PreviousBook);
    nextBookButton = button("nextBookButton", QStringLiteral("下一本封面"), &MainWindow::NextBook);
    coverButton = button("coverButton", QStringLiteral("主封面"), &MainWindow::ShowCover);
    // The captions are short and cut off at three characters: a screen
    // reader says what each button does in full.
    previousChapterButton->SetAccessibleText(QStringLiteral("上一页（上一章）"), QStringLiteral("翻到上一章"));
    contentsButton->SetAccessibleText(QStringLiteral("主目录（章节目录）"), QStringLiteral("显示本书的章节目录"));
    nextChapterButton->SetAccessibleText(QStringLiteral("下一页（下一章）"), QStringLiteral("翻到下一章"));
    previousBookButton->SetAccessibleText(QStringLiteral("上一本（上一本书）"), QStringLiteral("打开上一本书"));
    nextBookButton->SetAccessibleText(QStringLiteral("下一本封面（下一本书）"), QStringLiteral("打开下一本书"));
    coverButton->SetAccessibleText(QStringLiteral("主封面（封面窗口）"), QStringLiteral("显示当前书的封面"));

    titlePanel = new PictureBox(canvas);
    titlePanel->setObjectName(QStringLiteral("titlePanel"));
    titlePanel->SetPicture(QImage(QStringLiteral(":/title.png")));
    readingPane = new ReadingPane(canvas);
    readingPane->setObjectName(QStringLiteral("readingPane"));
    readingPane->installEventFilter(this);
    connect(readingPane, &ReadingPane::KeyPress, this, &MainWindow::DiscardTypedCharacter);
    connect(readingPane, &ReadingPane::TextChanged, this, &MainWindow::KeepCaretAtTop);
    connect(readingPane, &ReadingPane::LineActivated, this, &MainWindow::ShowChapterFromContents);

    pageKeyTimer = new QTimer(this);
    pageKeyTimer->setObjectName(QStringLiteral("pageKeyTimer"));
    pageKeyTimer->setInterval(50);
    connect(pageKeyTimer, &QTimer::timeout, this, &MainWindow::PollPageKeys);
    pageKeyTimer->start();
}

void MainWindow::BuildMenus()
{
    auto action = [this](QMenu* menu, const char* name, const QString& caption, void (MainWindow::*handler)()) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    auto submenu = [](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto fontSize = [this](QMenu* menu, const char* name, const QString& caption, double points) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, [this, points] { SetPaneFontSize(points); });
        return item;
    };

    fileMenu = submenu(this, "fileMenu", QStringLiteral("文件"));
    openAction = action(fileMenu, "openAction", QStringLiteral("打开"), &MainWindow::OpenFile);
    saveAsCorAction = action(fileMenu, "saveAsCorAction", QStringLiteral("另存为Cor文件"), &MainWindow::SaveAsCor);
    saveAsCorAction->setEnabled(false);
    openInEditorAction =
        action(fileMenu, "openInEditorAction", QStringLiteral("转入记事本"), &MainWindow::OpenInTextEditor);
    openFolderAction = action(fileMenu, "openFolderAction", QStringLiteral("打开文件夹"), &MainWindow::OpenFolder);
    recentFilesMenu = submenu(fileMenu, "recentFilesMenu", QStringLiteral("最近打开的文件"));
    fileMenu->addMenu(recentFilesMenu);
    recentFiles = new MenuItemArray(recentFilesMenu, QStringLiteral("recentFiles"), QStringLiteral("空"));
    quitAction = action(fileMenu, "quitAction", QStringLiteral("退出"), &MainWindow::QuitWithoutSaving);

    viewMenu = submenu(this, "viewMenu", QStringLiteral("查看"));
    booksMenu = submenu(viewMenu, "booksMenu", QStringLiteral("所有电子书"));
    viewMenu->addMenu(booksMenu);
    bookItems = new MenuItemArray(booksMenu, QStringLiteral("bookItems"), QStringLiteral("空"));
    chaptersMenu = submenu(viewMenu, "chaptersMenu", QStringLiteral("所有章节"));
    viewMenu->addMenu(chaptersMenu);
    chapterItems = new MenuItemArray(chaptersMenu, QStringLiteral("chapterItems"), QStringLiteral("空"));
    findAction = action(viewMenu, "findAction", QStringLiteral("查找(&F)"), &MainWindow::ShowFindDialog);

    fontMenu = submenu(this, "fontMenu", QStringLiteral("字体"));
    extraLargeFont = fontSize(fontMenu, "extraLargeFont", QStringLiteral("特大字体"), 18);
    largeFont = fontSize(fontMenu, "largeFont", QStringLiteral("大字体"), 16);
    mediumFont = fontSize(fontMenu, "mediumFont", QStringLiteral("中字体"), 14);
    smallFont = fontSize(fontMenu, "smallFont", QStringLiteral("小字体"), 12);
    extraSmallFont = fontSize(fontMenu, "extraSmallFont", QStringLiteral("超小字体"), 10);

    skinMenu = submenu(this, "skinMenu", QStringLiteral("皮肤"));
    skinItems = new MenuItemArray(skinMenu, QStringLiteral("skinItems"), QStringLiteral("自定义皮肤"));

    for (QMenu* menu : {fileMenu, viewMenu, fontMenu, skinMenu})
        menuBar()->addMenu(menu);

    connect(recentFiles, &MenuItemArray::Clicked, this, &MainWindow::OpenRecent);
    connect(bookItems, &MenuItemArray::Clicked, this, &MainWindow::ShowBookFromMenu);
    connect(chapterItems, &MenuItemArray::Clicked, this, &MainWindow::ShowChapterFromMenu);
    connect(skinItems, &MenuItemArray::Clicked, this, &MainWindow::ChooseSkin);
    connect(reader_, &Reader::SkinsChanged, this, &MainWindow::ExtendSkinMenu);
}

// Any chapter of a long book within reach: the chapter menu scrolls in one
// column and opens at the current chapter, and "跳到章节" (Ctrl+G) finds a
// chapter by title or number. Page keys pressed in either move through its
// list, not through the book behind it.
void MainWindow::BuildChapterNavigation()
{
    chapterItems->ScrollInOneColumn([this] {
        const bool listed = state_.Books.IsBook(state_.CurrentBook) && listedChapters_.book == state_.CurrentBook;
        return listed ? state_.Current().ChapterIndex : -1;
    });
    jumpAction = new QAction(QStringLiteral("跳到章节"), viewMenu);
    jumpAction->setObjectName(QStringLiteral("jumpAction"));
    jumpAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    viewMenu->insertAction(findAction, jumpAction);
    connect(jumpAction, &QAction::triggered, this, &MainWindow::ShowJumpDialog);
    pageKeysKeeper_ = new PageKeysKeeper([this] { return keys_; }, this);
    pageKeysKeeper_->Watch(chaptersMenu);
}

// Colours, font size and the layout for this screen; no book, no skin.
void MainWindow::SetUpAtLoad()
{
    const QColor paper = Rgb(192, 240, 249);
    SetPaneColors(nullptr, &paper);
    QFont font = readingPane->font();
    font.setPointSizeF(14);
    readingPane->setFont(font);
    defaultFontFamily_ = font.family();
    titlePanel->SetBackColor(paper);
    SetBandColor(Rgb(5, 85, 100));
    backdropBand->setText(QString());
    LayOut();
}

// The controls follow the window: laid out again whenever the canvas
// changes size, and the title panel's texts fitted to its new width.
bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (!readingPane)
        return QMainWindow::eventFilter(watched, event);
    // Any key or click on the page stops 自动滚屏, and does what it does.
    const bool pressed = event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress;
    if (pressed && autoScrollAction && autoScrollAction->isChecked()
        && (watched == readingPane || watched == readingPane->viewport()))
        SetAutoScroll(false);
    if (watched == readingPane && event->type() == QEvent::KeyPress && ReadByKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (pointerTimer && watched == readingPane->viewport() && event->type() == QEvent::MouseMove)
        NotePointerMove();
    if (watched == canvas && event->type() == QEvent::Resize) {
        LayOut();
        if (state_.Books.IsBook(state_.CurrentBook))
            ApplySkin();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::LayOut()
{
    layout_ = LayoutForWindow(PixelsToTwips(width()), PixelsToTwips(height()), PixelsToTwips(canvas->height()));
    Place(backdropBand, layout_.backdropBand);
    Place(titlePanel, layout_.titlePanel);
    Place(readingPane, layout_.readingPane);
    paneArea_ = readingPane->geometry();
    PlaceRuleOfferBar();
    CaptionedButton* const right[] = {previousChapterButton, contentsButton, nextChapterButton};
    CaptionedButton* const left[] = {previousBookButton, nextBookButton, coverButton};
    for (int k = 0; k < 3; ++k) {
        Place(right[k], layout_.chapterButtonPictures[k], layout_.chapterButtonCaptions[k]);
        Place(left[k], layout_.bookButtonPictures[k], layout_.bookButtonCaptions[k]);
        right[k]->SetVisible(!InFocusMode());
        left[k]->SetVisible(!InFocusMode());
    }
    titlePanel->setVisible(!InFocusMode());
    if (InFocusMode()) {
        // The text alone, in the band's colour all round.
        const int margin = TwipsToPixels(360);
        readingPane->setGeometry(canvas->rect().adjusted(margin, margin / 2, -margin, -margin / 2));
        paneArea_ = readingPane->geometry();
        PlaceRuleOfferBar();
    }
}

void MainWindow::SetBackColor(const QColor& colour)
{
    SetBackground(canvas, colour);
}

QColor MainWindow::BackColor() const
{
    return Background(canvas);
}

void MainWindow::SetBandColor(const QColor& colour)
{
    SetBackground(backdropBand, colour);
}

QColor MainWindow::BandColor() const
{
    return Background(backdropBand);
}

void MainWindow::SetPaneColors(const QColor* text, const QColor* background)
{
    QPalette palette = readingPane->palette();
    if (text)
        palette.setColor(QPalette::Text, *text);
    if (background)
        palette.setColor(QPalette::Base, *background);
    if (palette != readingPane->palette())
        readingPane->setPalette(palette);
}

// The skin's cover is kept until the cover is first shown: making it loads
// its picture and fits its title, which opening a book need not wait for.
void MainWindow::SetCoverBackColor(const QColor& colour)
{
    coverBackColor_ = colour;
    if (cover_)
        cover_->SetBackColor(colour);
}

void MainWindow::SetCoverPicture(const QImage& picture)
{
    coverPicture_ = picture;
    if (cover_)
        cover_->SetPicture(picture);
}

void MainWindow::CoverFollowsCurrentBook()
{
    if (cover_)
        cover_->FollowCurrentBook();
}

SplashWindow& MainWindow::Splash()
{
    if (!splash_)
        splash_ = new SplashWindow(this);
    return *splash_;
}

void MainWindow::ShowSplash()
{
    Splash().ShowSplash();
}

void MainWindow::CloseSplash()
{
    Splash().CloseSplash();
}

CoverWindow& MainWindow::Cover()
{
    if (!cover_) {
        cover_ = new CoverWindow(state_, this);
        if (coverBackColor_.isValid())
            cover_->SetBackColor(coverBackColor_);
        if (!coverPicture_.isNull())
            cover_->SetPicture(coverPicture_);
    }
    return *cover_;
}

FindDialog* MainWindow::FindDialogIfMade() const
{
    return findDialog_.data();
}

FolderScanDialog* MainWindow::FolderScanIfMade() const
{
    return folderScan_.data();
}

SkinManagerDialog* MainWindow::SkinManagerIfMade() const
{
    return skinManager_.data();
}

JumpDialog* MainWindow::JumpDialogIfMade() const
{
    return jumpDialog_.data();
}

void MainWindow::ShowMessage(const QString& text, const QString& caption, MessageKind kind)
{
    prompter_.Message(text, caption,
                      kind == MessageKind::Error ? Prompter::Icon::Critical : Prompter::Icon::Information);
}

const QString& MainWindow::PaneText() const
{
    return readingPane->Text();
}

void MainWindow::SetPaneText(const QString& text)
{
    readingPane->SetText(text);
}

void MainWindow::AppendPaneText(const QString& text)
{
    readingPane->AppendText(text);
}

bool MainWindow::PaneShows(const QString& text) const
{
    return readingPane->Shows(text);
}

qsizetype MainWindow::PaneSelStart() const
{
    return readingPane->SelStart();
}

qsizetype MainWindow::PaneSelLength() const
{
    return readingPane->SelLength();
}

void MainWindow::SelectInPane(qsizetype start, qsizetype length)
{
    readingPane->SetSelStart(start);
    readingPane->SetSelLength(length);
}

qsizetype MainWindow::FirstVisibleOffset() const
{
    return readingPane->FirstVisibleOffset();
}

bool MainWindow::ShowsAtTop(qsizetype offset) const
{
    return readingPane->ShowsAtTop(offset);
}

void MainWindow::ScrollToOffset(qsizetype offset)
{
    readingPane->ScrollToOffset(offset);
}

void MainWindow::CenterOnOffset(qsizetype offset)
{
    readingPane->CenterOnOffset(offset);
}
