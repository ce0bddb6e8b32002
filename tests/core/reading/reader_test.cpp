// The reading state's owner without a window: books read on a worker
// thread arrive exactly as the loader reads them, and the Reader keeps the
// window responsive while they do.

#include "core/books/book_load.h"
#include "core/files/folder_listing.h"
#include "core/reading/reader.h"
#include "core/reading/reader_view.h"
#include "core/sync/sync_round.h"
#include "core/text/file_names.h"
#include "core/text/script_converter.h"
#include "core/text/text_decoder.h"
#include "support/fake_loader_host.h"
#include "support/test_files.h"
#include "support/webdav_server.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <memory>

namespace {

// Turns the event loop until `done` holds or the deadline passes.
template <typename Done>
bool RunUntil(Done done, int deadlineMs = 30000)
{
    const QDeadlineTimer deadline(deadlineMs);
    QTimer wake;
    wake.start(20);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return done();
}

// A view that only keeps what it was shown.
class RecordingView : public ReaderView {
public:
    void ShowMessage(const QString& text, const QString&, MessageKind) override { messages.append(text); }
    const QString& PaneText() const override { return pane; }
    void SetPaneText(const QString& text) override
    {
        pane = text;
        top = 0;
        if (onShow)
            onShow();
    }
    void AppendPaneText(const QString& text) override { pane += text; }
    bool PaneShows(const QString& text) const override { return pane == text; }
    qsizetype PaneSelStart() const override { return 0; }
    qsizetype PaneSelLength() const override { return 0; }
    void SelectInPane(qsizetype start, qsizetype length) override { selection = {start, length}; }
    qsizetype FirstVisibleOffset() const override { return top; }
    bool ShowsAtTop(qsizetype offset) const override { return offset == top; }
    void ScrollToOffset(qsizetype offset) override { top = offset; }
    void CenterOnOffset(qsizetype offset) override { centred = offset; }
    void SetCaption(const QString& text) override { caption = text; }
    void ApplySkin() override {}
    void ListChapters(int, bool) override {}
    void ListBook(int) override {}
    void ShowSplash() override {}
    void CloseSplash() override {}

    QString pane;
    QString caption;
    qsizetype top = 0;
    qsizetype centred = -1;
    QStringList messages;
    std::pair<qsizetype, qsizetype> selection;
    std::function<void()> onShow;
};

QString Chapters(int count, const QString& body)
{
    QString text = QStringLiteral("前言\r\n");
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("第%1章 标题\r\n").arg(i) + body;
    return text;
}

// Books whose reading a batch boundary could cut badly: adjacent headings,
// a line of no break, and UTF-8 that proves to be GBK half-way (the whole
// book is read again, and handed over again from the start).
TEST(BookLoadTest, ArrivesChapterForChapterAsTheLoaderReadsIt)
{
    TempFolder folder;
    QByteArray utf8ThenGbk = QStringLiteral("第一章 开端\r\n").toUtf8();
    for (int i = 2; utf8ThenGbk.size() < 4000; ++i)
        utf8ThenGbk += QStringLiteral("第%1章\r\n正文一行。\r\n").arg(i).toUtf8();
    utf8ThenGbk += EncodeGb18030(u"第九百章 结尾\r\n汉字\r\n");
    const QStringList paths = {
        folder.WriteGbk(QStringLiteral("a.txt"), Chapters(300, QStringLiteral("正文\r\n\r\n"))),
        folder.WriteGbk(QStringLiteral("b.txt"), QStringLiteral("第一章\r\n第二章\r\n正文\r\n") + QString(5000, u'长')),
        folder.WriteBytes(QStringLiteral("c.txt"), utf8ThenGbk),
    };
    const LoadTuning everyPiece{64, std::chrono::nanoseconds(0)};
    for (const QString& path : paths) {
        ReaderState expected;
        FakeLoaderHost host;
        ASSERT_TRUE(LoadTextFile(expected, path, host, EncodingChoice::Automatic, everyPiece).Succeeded());

        ReaderState state;
        const int slot = state.Books.Add(path, QStringLiteral("书"));
        auto reader = std::make_unique<TextFileReader>(everyPiece.blockSize);
        ASSERT_TRUE(reader->Open(path, EncodingChoice::Automatic));
        int batches = 0;
        std::optional<LoadError> ended;
        BookLoad load(state, slot, std::move(reader), EncodingChoice::Automatic,
                      {[&](bool, bool) { ++batches; }, [&](LoadError error) { ended = error; }}, everyPiece);
        ASSERT_TRUE(RunUntil([&] { return ended.has_value(); })) << path.toStdString();
        EXPECT_EQ(*ended, LoadError::None);
        EXPECT_GT(batches, 1) << "handed over in one piece";
        const Book& book = state.Books[slot];
        const Book& read = expected.Books[1];
        ASSERT_EQ(book.LastChapter(), read.LastChapter()) << path.toStdString();
        for (int j = 0; j <= read.LastChapter(); ++j) {
            EXPECT_EQ(book.Chapters[j].Title, read.Chapters[j].Title);
            EXPECT_EQ(book.Chapters[j].Number, j);
            EXPECT_EQ(book.ChapterTexts[j], read.ChapterTexts[j]);
        }
        EXPECT_EQ(book.Encoding, read.Encoding);
    }
}

class ReaderTest : public ::testing::Test {
protected:
    TempFolder program;
    TempFolder books;
    ReaderState state;
    RecordingView view;
    Reader reader{state, ReaderFolders::Portable(program.Root()), view};
};

// The open command returns at once; the beginning is on screen while the
// rest is read, a second open is refused meanwhile, and the book ends whole.
TEST_F(ReaderTest, ABookIsReadWhileTheWindowGoesOn)
{
    const QString path = books.WriteGbk(QStringLiteral("长篇.txt"), Chapters(20000, QStringLiteral("正文一行。\r\n")));
    bool beginningWhileLoading = false;
    view.onShow = [&] { beginningWhileLoading |= reader.Loading() && view.pane == QStringLiteral("前言\r\n"); };
    reader.OpenCommand(path, Reader::OpenKind::Chosen);
    EXPECT_TRUE(reader.Loading());
    reader.OpenCommand(path, Reader::OpenKind::Chosen);
    ASSERT_EQ(view.messages, QStringList({QStringLiteral("正在加载电子书,加载完毕后才可以打开另外一本!")}));
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    EXPECT_TRUE(beginningWhileLoading);
    EXPECT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.Current().LastChapter(), 20000);
    EXPECT_EQ(state.LoadingBook, 0);
    EXPECT_EQ(view.pane, QStringLiteral("前言\r\n"));  // an open without book.ini starts at chapter 0
}

// Closing in the middle of a load: the worker stops, and nothing the
// reader had is touched afterwards.
TEST_F(ReaderTest, StoppingInTheMiddleOfALoadEndsIt)
{
    const QString path = books.WriteGbk(QStringLiteral("长篇.txt"), Chapters(50000, QStringLiteral("正文一行。\r\n")));
    reader.Open({path, path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return state.Books.IsBook(1) && state.Books[1].LastChapter() > 0; }));
    reader.StopLoading();
    EXPECT_FALSE(reader.Loading());
    const int chapters = state.Books[1].LastChapter();
    const QString shown = view.pane;
    QCoreApplication::processEvents();
    EXPECT_EQ(state.Books[1].LastChapter(), chapters);
    EXPECT_EQ(view.pane, shown);
    EXPECT_TRUE(view.messages.isEmpty());
}

// Closing before a book is read, or while it is read again in another
// encoding, keeps what the reader remembered of it.
TEST_F(ReaderTest, ClosingBeforeTheReadingEndsLosesNoPlace)
{
    const QString big = books.WriteGbk(QStringLiteral("长篇.txt"), Chapters(50000, QStringLiteral("正文一行。\r\n")));
    const QString iniLine = "Name=" + big + QStringLiteral(",Xcolor=水墨,id=500,SelStart=7");
    const QString posLine = "Name=" + big + QStringLiteral(",id=500,Pos=120,Enc=Big5");
    program.WriteGbk(QStringLiteral("book.ini"), "[Version1.0]\r\n" + iniLine + "\r\n");
    program.WriteGbk(QStringLiteral("book.pos"), posLine + "\r\n");
    const QString small =
        books.WriteGbk(QStringLiteral("短篇.txt"), Chapters(3, QStringLiteral("正文\r\n").repeated(40)));
    reader.Open({small}, Reader::OpenKind::Plain);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    reader.GoToChapter(2);
    view.ScrollToOffset(40);

    reader.ChooseEncoding(EncodingChoice::Utf8);
    ASSERT_TRUE(reader.Loading());
    reader.StopLoading();
    reader.Open({big}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(reader.Loading());
    reader.StopLoading();
    ASSERT_TRUE(reader.Save().bookPos);
    const QString ini = DecodeText(ReadBytes(program.Path(QStringLiteral("book.ini"))), TextEncoding::Gb18030);
    const QString pos = DecodeText(ReadBytes(program.Path(QStringLiteral("book.pos"))), TextEncoding::Gb18030);
    EXPECT_EQ(ini.toStdString(),
              ("[Version1.0]\r\nName=" + small + ",Xcolor=,id=2,SelStart=0\r\n" + iniLine + "\r\n").toStdString());
    EXPECT_EQ(pos.toStdString(), ("Name=" + small + ",id=2,Pos=40,Enc=\r\n" + posLine + "\r\n").toStdString());
}

// A book whose file name is GBK bytes, as books from Windows archives come:
// listed, opened, shown by its name, remembered in book.ini by those bytes
// and opened again from the recent list at its chapter.
TEST_F(ReaderTest, ABookNamedInGbkBytesIsListedOpenedAndRemembered)
{
    const QByteArray gbkName("\xce\xf7\xd3\xce\xbc\xc7.txt");  // 西游记.txt
    const QByteArray native = QFile::encodeName(books.Root()) + '/' + gbkName;
    std::ofstream(native.constData(), std::ios::binary)
        << EncodeGb18030(Chapters(3, QStringLiteral("正文\r\n"))).toStdString();
    // QTemporaryDir cannot remove a name that is not UTF-8.
    const std::unique_ptr<const char, void (*)(const char*)> removeBook(native.constData(),
                                                                        [](const char* name) { ::unlink(name); });
    const QStringList listed = ListPlainFiles(books.Root(), QStringLiteral(".txt"));
    ASSERT_EQ(listed.size(), 1);
    const QString path = books.Root() + u'/' + listed[0];
    ASSERT_EQ(NativePath(path), native);

    reader.Open({path}, Reader::OpenKind::Outside);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    ASSERT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.Current().FileName, QStringLiteral("西游记.txt"));
    EXPECT_TRUE(view.messages.isEmpty()) << view.messages.join(u'\n').toStdString();
    reader.GoToChapter(2);
    ASSERT_TRUE(reader.Save().bookIni);
    const QByteArray line = "Name=" + EncodeGb18030(books.Root()) + '/' + gbkName + ",Xcolor=,id=2,";
    EXPECT_TRUE(ReadBytes(program.Path(QStringLiteral("book.ini"))).contains(line));

    ReaderState laterState;
    RecordingView laterView;
    Reader later{laterState, ReaderFolders::Portable(program.Root()), laterView};
    const QStringList recent = later.Memory().RecentPaths();
    ASSERT_EQ(recent, QStringList{books.Root() + QStringLiteral("/西游记.txt")});
    later.Open(recent, Reader::OpenKind::Recent);
    ASSERT_TRUE(RunUntil([&] { return !later.Loading(); }));
    ASSERT_EQ(laterState.Books.Count(), 1);
    EXPECT_EQ(laterState.Current().Path, path);
    EXPECT_EQ(laterState.Current().ChapterIndex, 2);
}

// A book whose headings the built-in recogniser misses: the better rule is
// offered once; taken, the book is split by it at the same place, which
// book.ini keeps in the built-in recogniser's chapters and the next start
// finds again in the rule's; turned down, it is not offered again.
TEST_F(ReaderTest, ABetterRuleIsOfferedAndTakenAtTheSamePlace)
{
    QString text = QStringLiteral("前言\r\n");
    for (const QChar digit : QStringLiteral("一二三四五六"))  // numbers too long for the built-in recogniser
        text += QStringLiteral("第一千四百零%1章 夜行\r\n").arg(digit) + QStringLiteral("正文一行。\r\n").repeated(20);
    text += QStringLiteral("第十章 短\r\n末行\r\n");
    const QString path = books.WriteGbk(QStringLiteral("长号.txt"), text);
    const auto collectOffers = [](Reader& from, QStringList& into) {
        QObject::connect(&from, &Reader::RuleOffered, [&into](int, const QString& offer) { into.append(offer); });
    };
    QStringList offers;
    collectOffers(reader, offers);
    reader.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    ASSERT_EQ(offers,
              QStringList{QStringLiteral("内置规则识别出 2 章，规则「第N章（数字不限长短）＋命名章节」识别出 8 章")});
    ASSERT_EQ(state.Current().ChapterIndex, 0);  // the built-in split: 前言 and all but 第十章 in chapter 0
    // The eleventh line of the third numbered chapter (its heading is 13
    // characters with the line end, its lines 7).
    const qsizetype heading = state.Current().ChapterTexts[0].indexOf(QStringLiteral("第一千四百零三章"));
    view.ScrollToOffset(heading + 13 + 7 * 10);

    reader.AnswerRuleOffer(1, true);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    const Book& split = state.Current();
    ASSERT_EQ(split.LastChapter(), 7);
    EXPECT_EQ(split.ChapterIndex, 3);
    EXPECT_EQ(split.Chapters[3].Title, QStringLiteral("第一千四百零三章 夜行"));
    EXPECT_EQ(split.Place, (ReadingPlace{3, 7 * 10}));
    ASSERT_TRUE(reader.Save().bookIni);
    EXPECT_TRUE(DecodeText(ReadBytes(program.Path(QStringLiteral("book.ini"))), TextEncoding::Gb18030)
                    .contains(QStringLiteral(",id=0,")));

    ReaderState laterState;
    RecordingView laterView;
    Reader later{laterState, ReaderFolders::Portable(program.Root()), laterView};
    QStringList laterOffers;
    collectOffers(later, laterOffers);
    later.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !later.Loading(); }));
    EXPECT_EQ(laterState.Current().LastChapter(), 7);
    EXPECT_EQ(laterState.Current().ChapterIndex, 3);
    EXPECT_EQ(laterState.Current().Place, (ReadingPlace{3, 7 * 10}));
    EXPECT_TRUE(laterOffers.isEmpty());

    // Turned down for another book: never offered again.
    const QString other = books.WriteGbk(QStringLiteral("另一本.txt"), text);
    later.Open({other}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !later.Loading(); }));
    ASSERT_EQ(laterOffers.size(), 1);
    later.AnswerRuleOffer(laterState.CurrentBook, false);
    ReaderState thirdState;
    Reader third{thirdState, ReaderFolders::Portable(program.Root()), laterView};
    QStringList thirdOffers;
    collectOffers(third, thirdOffers);
    third.Open({other}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !third.Loading(); }));
    EXPECT_TRUE(thirdOffers.isEmpty());
    EXPECT_EQ(thirdState.Current().LastChapter(), 1);
}

// A line made a heading by hand, and a heading made plain text, split the
// book again at the place being read, and come back after a restart; the
// settings files still count the built-in recogniser's chapters.
TEST_F(ReaderTest, HeadingsMarkedByHandComeBackAfterARestart)
{
    const QString text =
        QStringLiteral("第一章 甲\r\n一行\r\n月下独白\r\n二行\r\n第二章 乙\r\n三行\r\n第三章 丙\r\n四行\r\n");
    const QString path = books.WriteGbk(QStringLiteral("手工.txt"), text);
    reader.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    ASSERT_EQ(state.Current().LastChapter(), 2);
    reader.GoToChapter(1);
    reader.MarkHeading(2, true);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    reader.MarkHeading(4, false);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    const auto titles = [](const Book& book) {
        QStringList all;
        for (const ChapterEntry& entry : book.Chapters)
            all << entry.Title;
        return all;
    };
    const QStringList expected{"第一章 甲", "月下独白", "第三章 丙"};
    EXPECT_EQ(titles(state.Current()), expected);
    EXPECT_EQ(state.Current().ChapterTexts[1], QStringLiteral("二行\r\n第二章 乙\r\n三行\r\n"));
    EXPECT_EQ(state.Current().ChapterIndex, 1);
    EXPECT_EQ(DecodeText(ReadBytes(program.Path(QStringLiteral("book.marks"))), TextEncoding::Gb18030),
              QStringLiteral("+3 -5\t") + path + QStringLiteral("\r\n"));
    reader.GoToChapter(2);
    ASSERT_TRUE(reader.Save().bookIni);
    EXPECT_TRUE(DecodeText(ReadBytes(program.Path(QStringLiteral("book.ini"))), TextEncoding::Gb18030)
                    .contains(QStringLiteral(",id=2,")));

    ReaderState laterState;
    RecordingView laterView;
    Reader later{laterState, ReaderFolders::Portable(program.Root()), laterView};
    later.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !later.Loading(); }));
    EXPECT_EQ(titles(laterState.Current()), expected);
    EXPECT_EQ(laterState.Current().ChapterIndex, 2);
}

// Stepping to another book and back returns to the place inside the chapter.
TEST_F(ReaderTest, AnotherBookAndBackReturnsToThePlace)
{
    reader.Open({books.WriteGbk(QStringLiteral("甲.txt"), Chapters(3, QStringLiteral("甲文\r\n").repeated(50))),
                 books.WriteGbk(QStringLiteral("乙.txt"), Chapters(3, QStringLiteral("乙文\r\n")))},
                Reader::OpenKind::Plain);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    reader.ShowBook(1);
    reader.StepChapter(+2);
    view.ScrollToOffset(40);
    reader.StepBook(+1);
    EXPECT_EQ(state.CurrentBook, 2);
    reader.StepBook(-1);
    EXPECT_EQ(state.CurrentBook, 1);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(view.top, 40);
}

// 繁→简 for a novel in traditional characters: the chapter, its caption
// and the contents show simplified text, find finds what is shown at the
// offsets of the file's text, and the choice comes back after a restart.
// book.ini and book.pos are written as they would be without it.
TEST_F(ReaderTest, ABookShownInSimplifiedCharactersStaysSoAfterARestart)
{
    const QString path = books.WriteBytes(QStringLiteral("儒林外史.txt"),
                                          ReadBytes(QStringLiteral(READER_CORPUS_DIR "/rulinwaishi.gbk.txt")));
    reader.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    const Book& book = state.Current();
    int first = 0;  // 第一回
    while (first < book.LastChapter() && !book.Chapters[first].Title.contains(QStringLiteral("說楔子")))
        ++first;
    reader.GoToChapter(first);
    view.ScrollToOffset(200);
    ASSERT_TRUE(reader.Save().bookIni);
    const QByteArray ini = ReadBytes(program.Path(QStringLiteral("book.ini")));
    const QByteArray pos = ReadBytes(program.Path(QStringLiteral("book.pos")));

    const ScriptConverter toSimplified(ScriptChoice::ToSimplified);
    reader.ChooseScript(ScriptChoice::ToSimplified);
    EXPECT_EQ(reader.Script(), ScriptChoice::ToSimplified);
    EXPECT_EQ(view.pane, toSimplified.Convert(book.ChapterTexts[first]));
    EXPECT_NE(view.pane, book.ChapterTexts[first]);
    EXPECT_EQ(view.top, 200);
    EXPECT_TRUE(view.caption.endsWith(toSimplified.Convert(book.Chapters[first].Title)));
    EXPECT_TRUE(view.caption.contains(QStringLiteral("说楔子")));
    ASSERT_TRUE(reader.Save().bookIni);
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.ini"))), ini);
    EXPECT_EQ(ReadBytes(program.Path(QStringLiteral("book.pos"))), pos);
    EXPECT_EQ(DecodeText(ReadBytes(program.Path(QStringLiteral("book.script"))), TextEncoding::Gb18030),
              QStringLiteral("t2s\t") + path + QStringLiteral("\r\n"));
    reader.ShowContents();
    EXPECT_TRUE(view.pane.contains(QStringLiteral("周学道校士拔真才")));

    // 周进 is only in the text as shown; the file has 周進 at the same offset.
    const QString shownName = QStringLiteral("周进");
    int chapter = first;
    while (chapter <= book.LastChapter() && !book.ChapterTexts[chapter].contains(QStringLiteral("周進")))
        ++chapter;
    ASSERT_LE(chapter, book.LastChapter());
    ASSERT_FALSE(book.ChapterTexts[chapter].contains(shownName));
    ASSERT_TRUE(reader.Find(shownName, SearchScope::Book, {state.CurrentBook, first, 0}).found);
    EXPECT_EQ(book.ChapterIndex, chapter);
    EXPECT_EQ(view.selection.first, book.ChapterTexts[chapter].indexOf(QStringLiteral("周進")));
    EXPECT_EQ(view.pane.mid(view.selection.first, view.selection.second), shownName);

    ASSERT_TRUE(reader.Save().bookIni);
    ReaderState laterState;
    RecordingView laterView;
    Reader later{laterState, ReaderFolders::Portable(program.Root()), laterView};
    later.Open({path}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !later.Loading(); }));
    EXPECT_EQ(later.Script(), ScriptChoice::ToSimplified);
    EXPECT_EQ(laterState.Current().ChapterIndex, chapter);
    EXPECT_EQ(laterView.pane, toSimplified.Convert(laterState.Current().ChapterTexts[chapter]));

    // 不转换: the file's text again, and book.script forgets the book.
    later.ChooseScript(ScriptChoice::None);
    EXPECT_EQ(laterView.pane, laterState.Current().ChapterTexts[chapter]);
    EXPECT_TRUE(ReadBytes(program.Path(QStringLiteral("book.script"))).isEmpty());
}

}  // namespace

namespace {

// Ten books, each session opening some of them and closing: every one is in
// the library with its place after the last restart, and opening any of
// them, with book.ini knowing only the last session's, returns to its place
// and its encoding. A session that never closes loses nothing either.
TEST(ReaderLibraryTest, EveryBookEverReadComesBackToItsPlace)
{
    TempFolder program;
    TempFolder books;
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << books.WriteGbk(QStringLiteral("书%1.txt").arg(i),
                                Chapters(5 + i, QStringLiteral("正文一行。\r\n").repeated(30)));
    // Book i is left in chapter i % 4 + 1, 6 * i characters in.
    auto session = [&](const QList<int>& opened, bool close) {
        ReaderState state;
        RecordingView view;
        Reader reader{state, ReaderFolders::Portable(program.Root()), view};
        for (const int i : opened) {
            reader.Open({paths[i]}, Reader::OpenKind::Chosen);
            EXPECT_TRUE(RunUntil([&] { return !reader.Loading(); }));
            if (i == 3 && state.Current().ChosenEncoding != EncodingChoice::Gb18030) {
                reader.ChooseEncoding(EncodingChoice::Gb18030);
                EXPECT_TRUE(RunUntil([&] { return !reader.Loading(); }));
            }
            reader.GoToChapter(i % 4 + 1);
            view.ScrollToOffset(6 * i);
            if (!close)
                reader.NoteReadingPlace();
        }
        if (close) {
            EXPECT_TRUE(reader.Save().bookIni);
        }
    };
    session({0, 1, 2}, true);
    session({3, 4, 5}, true);
    session({6, 7}, false);  // killed: no close
    session({8, 9}, true);

    ReaderState state;
    RecordingView view;
    Reader reader{state, ReaderFolders::Portable(program.Root()), view};
    EXPECT_EQ(reader.Library().Books().size(), 10);
    for (int i = 0; i < 10; ++i) {
        const std::optional<LibraryBook> known = reader.Library().Book(paths[i]);
        ASSERT_TRUE(known.has_value()) << i;
        EXPECT_EQ(known->place, (ReadingPlace{i % 4 + 1, 6 * i})) << i;
        EXPECT_TRUE(known->lastRead.isValid());
        reader.Open({paths[i]}, Reader::OpenKind::Chosen);
        ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
        EXPECT_EQ(state.Current().ChapterIndex, i % 4 + 1) << i;
        EXPECT_EQ(view.top, 6 * i) << i;
        EXPECT_EQ(state.Current().ChosenEncoding, i == 3 ? EncodingChoice::Gb18030 : EncodingChoice::Automatic);
    }
}

// A hit found in a closed book's file (书架 scope) opens the book there with
// the hit selected; in a book already open it only moves there.
TEST(ReaderLibraryTest, AHitInABooksFileOpensItSelected)
{
    TempFolder program;
    TempFolder books;
    const QString path =
        books.WriteGbk(QStringLiteral("书.txt"), Chapters(4, QStringLiteral("天下大势，分久必合。\r\n")));
    ReaderState state;
    RecordingView view;
    Reader reader{state, ReaderFolders::Portable(program.Root()), view};
    reader.ShowFoundInFile(path, 3, 5, 2);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    EXPECT_EQ(state.Current().ChapterIndex, 3);
    EXPECT_EQ(view.selection, (std::pair<qsizetype, qsizetype>{5, 2}));
    EXPECT_EQ(view.pane.mid(5, 2), QStringLiteral("分久"));

    reader.GoToChapter(1);
    reader.ShowFoundInFile(path, 2, 0, 4);
    EXPECT_FALSE(reader.Loading());
    EXPECT_EQ(state.Books.Count(), 1);
    EXPECT_EQ(state.Current().ChapterIndex, 2);
    EXPECT_EQ(view.selection, (std::pair<qsizetype, qsizetype>{0, 4}));
}

}  // namespace

// Two readers (two state folders, each with its own copy of the book under
// another name) and one WebDAV server: a book read to chapter 30 on one
// opens at chapter 30 on the other after it syncs, and a reader with the
// book open follows the other's reading on.
TEST(ReaderSyncTest, ABookReadToChapterThirtyOnOneComputerOpensThereOnTheOther)
{
    if (const QString why = WebDavServer::Unavailable(); !why.isEmpty())
        GTEST_SKIP() << qPrintable(why);
    WebDavServer server;
    ASSERT_TRUE(server.Start()) << qPrintable(server.ErrorLog());
    TempFolder home;
    TempFolder away;
    TempFolder books;
    const QString text = Chapters(40, QStringLiteral("正文一行。\r\n").repeated(30));
    const QString homePath = books.WriteGbk(QStringLiteral("家/斗破.txt"), text);
    const QString awayPath = books.WriteGbk(QStringLiteral("下载/斗破苍穹 全本.txt"), text);
    const auto sync = [&](Reader& reader) {
        reader.NoteReadingPlace();
        const SyncOutcome outcome =
            SyncLibraryOnce({.libraryPath = reader.Library().Path(),
                             .account = {server.Url(), QStringLiteral("reader"), QStringLiteral("secret")},
                             .rules = reader.RuleChoicesForSync()});
        EXPECT_TRUE(outcome.Ok()) << qPrintable(outcome.message);
        return outcome;
    };
    const auto readAtHome = [&](int chapter) {
        ReaderState state;
        RecordingView view;
        Reader reader{state, ReaderFolders::Portable(home.Root()), view};
        reader.Open({homePath}, Reader::OpenKind::Chosen);
        ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
        reader.GoToChapter(chapter);
        view.ScrollToOffset(12);
        sync(reader);
        ASSERT_TRUE(reader.Save().bookIni);
    };
    readAtHome(30);

    ReaderState state;
    RecordingView view;
    Reader reader{state, ReaderFolders::Portable(away.Root()), view};
    sync(reader);  // this computer has never seen the book
    reader.Open({awayPath}, Reader::OpenKind::Chosen);
    ASSERT_TRUE(RunUntil([&] { return !reader.Loading(); }));
    EXPECT_EQ(state.Current().ChapterIndex, 30);
    EXPECT_EQ(view.top, 12);

    readAtHome(33);
    EXPECT_TRUE(reader.FollowSync(sync(reader)));
    EXPECT_EQ(state.Current().ChapterIndex, 33);
    EXPECT_EQ(view.top, 12);
}
