#pragma once

#include "core/books/reader_state.h"
#include "core/files/reader_folders.h"
#include "core/reading/reader_view.h"
#include "core/reading/reading_progress.h"
#include "core/sync/sync_round.h"
#include "ui/dialogs/reading_settings.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/main_window/main_layout.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <memory>

class CaptionedButton;
class CoverWindow;
class FindDialog;
class FolderScanDialog;
class JumpDialog;
class LibraryWindow;
class HeadingRulesDialog;
class RuleOfferBar;
class KeyState;
class MenuItemArray;
class PageKeysKeeper;
class PictureBox;
class PictureCache;
class Prompter;
class QAction;
class QActionGroup;
class QMimeData;
class QLabel;
class QMenu;
class QKeyEvent;
class QTimer;
class Reader;
class ReadAloud;
class ReadAloudBar;
class SpeechEngine;
class ReadingPane;
class SkinManagerDialog;
class PasswordKeyring;
class ReadingSettingsDialog;
class SyncPanel;
class SyncService;
class SplashWindow;
class TextEditorLauncher;
enum class ScriptChoice;

// The local .txt files among dropped data, in their order; anything else
// is left out.
QStringList DroppedBooks(const QMimeData& dropped);

// The main window: title panel, backdrop band, reading pane, the two
// button columns, the menus and the key-polling timer. Its commands ask the
// Reader, which owns the reading state.
class MainWindow : public QMainWindow, public ReaderView {
    Q_OBJECT
public:
    MainWindow(ReaderState& state, Prompter& prompter, const ReaderFolders& folders, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The owner of the reading state, which every change goes through.
    Reader& Reading() { return *reader_; }
    const ReaderState& State() const { return state_; }
    const ReaderFolders& Folders() const { return folders_; }

    // ReaderView
    void ShowMessage(const QString& text, const QString& caption, MessageKind kind) override;
    const QString& PaneText() const override;
    void SetPaneText(const QString& text) override;
    void AppendPaneText(const QString& text) override;
    bool PaneShows(const QString& text) const override;
    qsizetype PaneSelStart() const override;
    qsizetype PaneSelLength() const override;
    void SelectInPane(qsizetype start, qsizetype length) override;
    qsizetype FirstVisibleOffset() const override;
    bool ShowsAtTop(qsizetype offset) const override;
    void ScrollToOffset(qsizetype offset) override;
    void CenterOnOffset(qsizetype offset) override;
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void ApplySkin() override;
    void ListChapters(int slot, bool anew = false) override;
    void ListBook(int slot) override;
    void ShowSplash() override;
    void CloseSplash() override;

    // The window's parts, for its own painting and the tests.
    ReadingPane& Pane() { return *readingPane; }
    PictureBox& TitlePanel() { return *titlePanel; }
    MenuItemArray& BookItems() { return *bookItems; }
    MenuItemArray& ChapterItems() { return *chapterItems; }
    MenuItemArray& SkinItems() { return *skinItems; }
    PictureCache& Pictures() { return *pictures_; }
    void SetBackColor(const QColor& colour);
    void SetBandColor(const QColor& colour);
    // Either colour may be missing; the pane keeps that one as it is.
    void SetPaneColors(const QColor* text, const QColor* background);
    // The cover window is made on first use, without being shown.
    void SetCoverBackColor(const QColor& colour);
    void SetCoverPicture(const QImage& picture);
    // An open cover shows the current book's name.
    void CoverFollowsCurrentBook();
    // Set once the window is closing.
    bool Quitting() const { return quitting_; }

    MenuItemArray& RecentFiles() { return *recentFiles; }
    QColor BackColor() const;
    QColor BandColor() const;

    // Space, Shift+Space, Up and Down in the reading pane; false for any other key.
    bool ReadByKey(const QKeyEvent& key);
    // The font family the page shows over the skin's; empty: the skin's.
    const QString& ShownFontFamily() const { return shownFontFamily_; }
    // Night mode as it was at the last end.
    void RestoreNightMode();
    // Places the controls for the window's present size.
    void LayOut();
    // The window's place as it was left at the last end, else maximised;
    // and kept for the next start.
    void PlaceWindow();
    void SaveWindowPlace();
    // The window can be made this small, or the screen's size when smaller.
    static constexpr QSize kSmallestWindow{800, 600};
    const MainLayout& Layout() const { return layout_; }

    SplashWindow& Splash();
    // The cover window, made on first use (without showing it).
    CoverWindow& Cover();
    bool HasCover() const { return !cover_.isNull(); }
    // The dialogs, once made (hidden, not deleted, when closed); null before.
    FindDialog* FindDialogIfMade() const;
    FolderScanDialog* FolderScanIfMade() const;
    SkinManagerDialog* SkinManagerIfMade() const;
    JumpDialog* JumpDialogIfMade() const;

    void SetPaneFontSize(double points);
    void SetTextEditorLauncher(TextEditorLauncher* launcher) { editor_ = launcher; }
    KeyState* Keys() const { return keys_; }
    void SetKeyState(KeyState* keys) { keys_ = keys; }

    // Opens each path in turn as the open command opens a chosen file (the
    // book.ini restore included). Paths that arrive while a book is
    // loading wait for it and open afterwards, in order.
    void OpenPaths(const QStringList& paths);
    // The voice 朗读 speaks with (the tests' scripted one); without one the
    // platform's speech is made on first use.
    void UseSpeechEngine(SpeechEngine* engine);
    // 朗读, once it has been started; null before.
    ReadAloud* ReadAloudIfMade() const { return readAloud_; }
    // The help document (帮助 → 使用说明).
    void ShowHelp();
    // Whether start-up opens the book read last instead of the help document.
    bool ContinuesReading() const { return readingSettings_.continueReading; }

public slots:
    // Chapter and book steps (the two button columns and the page keys).
    void PreviousChapter();
    void ShowContents();
    void NextChapter();
    void PreviousBook();
    void NextBook();
    void ShowCover();
    void PollPageKeys();
    // View menu
    void ShowBookFromMenu(int index);
    void ShowChapterFromMenu(int index);
    void ShowChapterFromContents(qsizetype line);
    void ShowFindDialog();
    void ShowJumpDialog();
    // Reads the current book again in `choice` and remembers it for the book.
    void ChooseEncoding(EncodingChoice choice);
    // File menu
    void OpenFile();
    void OpenRecent(int index);
    void OpenInTextEditor();
    void SaveAsCor();
    void OpenFolder();
    void QuitWithoutSaving();
    // Skin menu
    void ChooseSkin(int index);
    // Entries for the skins the table has and the menu does not.
    void ExtendSkinMenu();
    void ShowSkinManager();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildChapterNavigation();
    void BuildEncodingMenu();
    void BuildRuleCommands();
    void BuildReadingModes();
    void FindNext();
    void FindPrevious();
    void SetFullScreen(bool on);
    void SetNightMode(bool on);
    void BuildAutoScroll();
    void BuildProgressLine();
    void BuildReadingSettings();
    void BuildLibraryCommands();
    void ShowLibrary(bool bookmarks);
    void AddBookmark();
    void ListBookmarks();
    void ShowReadingSettings();
    void ApplyReadingSettings(const ReadingSettings& settings);
    void ShowProgress();
    void SetAutoScroll(bool on);
    void ScrollOneLine();
    // 朗读 (read_aloud_commands.cpp)
    void BuildReadAloud();
    bool MakeReadAloud();
    void SetReadAloud(bool on);
    void ShowSpokenSentence(int chapter, qsizetype offset, qsizetype length);
    void ReadAloudFollowsPage();
    // Only the text: no title panel, no buttons, no menu bar.
    void SetFocusMode(bool on);
    bool InFocusMode() const;
    void NotePointerMove();
    void PlaceRuleOfferBar();
    void ShowRulesDialog();
    // 设为章节标题 and 取消章节标题 in the pane's menu opening on `offset`.
    void AddHeadingMarks(QMenu* menu, qsizetype offset);
    void CountRulesForDialog();
    void ShowChosenEncoding();
    // 查看 → 繁简转换 (script_menu.cpp)
    void BuildScriptMenu();
    void ShowChosenScript();
    void ChooseScript(ScriptChoice choice);
    void SetUpAtLoad();
    void DiscardTypedCharacter(int& character);
    void KeepCaretAtTop();
    void AcceptBookDrops();
    void SaveSettingsAndEnd();
    // 同步 (sync_commands.cpp): the library through a WebDAV folder, at
    // start, every few minutes, at close and on request.
    void BuildSync();
    void SyncNow();
    void SyncFinished(const SyncOutcome& outcome);
    void AddSyncPage(ReadingSettingsDialog* dialog);
    void UseSyncAccount(const SyncAccount& account);
    void ShowSyncSettings();
    bool SyncBeforeEnd(int exitCode);
    void EndProgram(int exitCode, bool syncFirst = false);

    const ReaderState& state_;  // changed only through the Reader
    Prompter& prompter_;
    ReaderFolders folders_;
    Reader* reader_;
    MainLayout layout_;
    ChapterMenuKey listedChapters_;
    std::unique_ptr<PictureCache> pictures_;
    KeyState* keys_ = nullptr;
    TextEditorLauncher* editor_ = nullptr;
    bool quitting_ = false;
    bool inPollTick_ = false;
    PageKeysKeeper* pageKeysKeeper_ = nullptr;

    // Controls
    QWidget* canvas = nullptr;
    QLabel* backdropBand;
    PictureBox* titlePanel;
    ReadingPane* readingPane = nullptr;  // the canvas sees events before the pane is made
    CaptionedButton* previousChapterButton;
    CaptionedButton* contentsButton;
    CaptionedButton* nextChapterButton;
    CaptionedButton* previousBookButton;
    CaptionedButton* nextBookButton;
    CaptionedButton* coverButton;
    QTimer* pageKeyTimer;

    // Menus and items
    QMenu* fileMenu;
    QAction* openAction;
    QAction* saveAsCorAction;
    QAction* openInEditorAction;
    QAction* openFolderAction;
    QMenu* recentFilesMenu;
    MenuItemArray* recentFiles;
    QAction* quitAction;
    QMenu* viewMenu;
    QMenu* booksMenu;
    MenuItemArray* bookItems;
    QMenu* chaptersMenu;
    MenuItemArray* chapterItems;
    QAction* findAction;
    QAction* findNextAction = nullptr;
    QAction* findPreviousAction = nullptr;
    QAction* fullScreenAction = nullptr;
    QAction* focusModeAction = nullptr;
    QAction* nightModeAction = nullptr;
    QAction* autoScrollAction = nullptr;
    QTimer* autoScrollTimer = nullptr;
    QAction* readAloudAction = nullptr;
    SpeechEngine* speech_ = nullptr;
    ReadAloud* readAloud_ = nullptr;
    ReadAloudBar* readAloudBar = nullptr;
    QAction* progressAction = nullptr;
    QAction* settingsAction = nullptr;
    QAction* libraryAction = nullptr;
    QMenu* bookmarksMenu = nullptr;
    QAction* addBookmarkAction = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* helpAction = nullptr;
    QTimer* placeNoteTimer = nullptr;
    ReadingSettings readingSettings_;  // as kept; the page may show a preview
    QString shownFontFamily_;          // the reader's font over the skin's; empty: the skin's
    QString defaultFontFamily_;        // the page's font where neither names one
    QLabel* progressLabel = nullptr;
    ReadingPace readingPace_;
    QElapsedTimer readingClock_;
    QAction* closeAction = nullptr;
    QTimer* pointerTimer = nullptr;
    QAction* rulesAction;
    RuleOfferBar* ruleOfferBar = nullptr;
    QAction* jumpAction;
    QMenu* encodingMenu;
    QActionGroup* encodingChoices;
    QMenu* scriptMenu;
    QActionGroup* scriptChoices;
    QAction* noConversionAction;
    QAction* toSimplifiedAction;
    QAction* toTraditionalAction;
    QAction* scriptProblemNote;
    QMenu* fontMenu;
    QAction* extraLargeFont;
    QAction* largeFont;
    QAction* mediumFont;
    QAction* smallFont;
    QAction* extraSmallFont;
    QMenu* skinMenu;
    MenuItemArray* skinItems;

    // Windows made on first use
    SplashWindow* splash_ = nullptr;
    QPointer<CoverWindow> cover_;
    QColor coverBackColor_;  // the skin's, for the cover when it is made
    QImage coverPicture_;
    QPointer<FindDialog> findDialog_;
    QPointer<FolderScanDialog> folderScan_;
    QPointer<SkinManagerDialog> skinManager_;
    QPointer<JumpDialog> jumpDialog_;
    QPointer<HeadingRulesDialog> rulesDialog_;
    QPointer<LibraryWindow> library_;
    bool libraryProblemTold_ = false;
    SyncService* syncService_ = nullptr;
    PasswordKeyring* keyring_ = nullptr;
    SyncAccount syncAccount_;  // the password only in memory
    QTimer* syncTimer = nullptr;
    QLabel* syncLabel = nullptr;
    QAction* syncAction = nullptr;
    QPointer<SyncPanel> syncPanel_;
    QPointer<ReadingSettingsDialog> settingsDialog_;
    QString syncResult_;          // how the last sync went
    bool passwordAsked_ = false;  // once a session after a refusal
    bool endAfterSync_ = false;
    int exitAfterSync_ = 0;
    int offeredSlot_ = 0;  // the book the offer bar speaks of
    QRect paneArea_;       // where the layout puts the pane, offer bar included
};
