#include "core/books/find_all.h"
#include "core/books/text_loader.h"
#include "support/fake_loader_host.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

// The pane as the window keeps it: a new text puts the caret at 1, and
// chapters are shown in the book's script.
class ShowingPane : public SearchPane {
public:
    ShowingPane(ReaderState& state, const ScriptConverter* converter) : state_(state), converter_(converter) {}

    QString Text() const override { return text; }
    void SetText(const QString& value) override
    {
        text = value, selStart = std::min(kCaretAfterShow, value.size()), selLength = 0;
    }
    void Select(qsizetype start, qsizetype length) override { selStart = start, selLength = length, ++selections; }
    void ShowChapter() override
    {
        const Book& book = state_.Current();
        SetText(ChapterText(book, book.ChapterIndex));
    }
    QString ChapterText(const Book& book, int chapter) override
    {
        const QString& body = book.ChapterTexts.at(static_cast<size_t>(chapter));
        return converter_ ? converter_->Convert(body) : body;
    }

    QString text;
    qsizetype selStart = 0, selLength = 0;
    int selections = 0;

private:
    ReaderState& state_;
    const ScriptConverter* converter_;
};

// A hit as a comparison sees it: book, chapter, offset (-1: heading), length.
using Spot = std::tuple<int, int, qsizetype, qsizetype>;

class FindAllHits : public ::testing::Test {
protected:
    // Two real novels, GBK bytes, in a temporary folder.
    void LoadNovels(const ScriptConverter* converter = nullptr)
    {
        for (const char* name : {"rulinwaishi.gbk.txt", "xiyouji.gbk.txt"}) {
            const QString path =
                folder.WriteBytes(QString::fromLatin1(name), ReadBytes(QStringLiteral(READER_CORPUS_DIR "/") + name));
            const LoadResult result = LoadTextFile(state, path, host);
            ASSERT_TRUE(result.Succeeded());
            ASSERT_GT(state.Books[result.Code].LastChapter(), 50);
            if (converter) {
                for (ChapterEntry& entry : state.Books[result.Code].Chapters)
                    entry.ShownTitle = converter->Convert(entry.Title);
            }
        }
        converter_ = converter;
    }

    // What pressing 查找 (or 上一个, `backward`) again and again finds, the
    // cursor stored after each hit as the find panel stores it; in reading
    // order either way.
    std::vector<Spot> Walk(const QString& what, SearchScope scope, SearchCursor cursor, bool backward = false)
    {
        ShowingPane pane(state, converter_);
        pane.text = paneText;
        std::vector<Spot> spots;
        for (;;) {
            const int selections = pane.selections;
            const SearchResult result = (backward ? SearchTextBackward : SearchText)(state, pane, what, scope, cursor);
            EXPECT_EQ(result.error, 0);
            if (!result.found)
                break;
            const bool heading = pane.selections == selections;
            const bool inPane = scope == SearchScope::Pane;
            const int book = inPane ? static_cast<int>(cursor.book) : state.CurrentBook;
            const int chapter = inPane ? static_cast<int>(cursor.chapter) : state.Current().ChapterIndex;
            spots.emplace_back(book, chapter, heading ? -1 : pane.selStart, heading ? 0 : pane.selLength);
            const qsizetype after = backward ? (heading ? -1 : pane.selStart) : pane.selStart + pane.selLength;
            cursor = {book, chapter, after};
        }
        if (backward)
            std::reverse(spots.begin(), spots.end());
        return spots;
    }

    FindAllInput Input(const QString& what, SearchScope scope, SearchCursor cursor, ScriptChoice script)
    {
        FindAllInput input{what, scope, cursor, paneText, {}};
        for (int slot = static_cast<int>(cursor.book); slot <= state.Books.Count(); ++slot) {
            const Book& book = state.Books[slot];
            FindBook copy{slot, {}, book.ChapterTexts, script};
            for (const ChapterEntry& entry : book.Chapters)
                copy.titles.push_back(entry.Shown());
            input.books.push_back(copy);
        }
        return input;
    }

    std::vector<Spot> FindEvery(const FindAllInput& input, std::vector<FoundHit>* hits = nullptr)
    {
        std::vector<Spot> spots;
        const std::atomic<bool> stop{false};
        const FindAllEnd end = FindAll(
            input,
            [&](const QList<FoundHit>& batch) {
                EXPECT_FALSE(batch.isEmpty());
                for (const FoundHit& hit : batch) {
                    spots.emplace_back(hit.book, hit.chapter, hit.offset, hit.length);
                    if (hits)
                        hits->push_back(hit);
                }
            },
            stop);
        EXPECT_FALSE(end.stopped);
        EXPECT_EQ(end.error, 0);
        return spots;
    }

    TempFolder folder;
    ReaderState state;
    FakeLoaderHost host;
    QString paneText;
    const ScriptConverter* converter_ = nullptr;
};

// Every scope lists exactly the hits repeated searches find, in their
// order, and a backward walk from the scope's end finds them all again.
TEST_F(FindAllHits, EqualRepeatedSearchesForwardAndBackwardInEveryScope)
{
    LoadNovels();
    // The pane shows a chapter of 西游记 with many a 行者.
    int shown = 0;
    while (state.Books[2].ChapterTexts[static_cast<size_t>(shown)].count(QStringLiteral("行者")) < 20)
        ++shown;
    paneText = state.Books[2].ChapterTexts[static_cast<size_t>(shown)];
    struct Case {
        QString what;
        SearchScope scope;
        SearchCursor start;
        SearchCursor end;
    };
    const Book& last = state.Books[2];
    const SearchCursor endOfAll{2, last.LastChapter(), last.ChapterTexts.back().size()};
    const Book& first = state.Books[1];
    const Case cases[] = {
        {QStringLiteral("行者"), SearchScope::Pane, {2, shown, 0}, {2, shown, paneText.size()}},
        {QStringLiteral("行者"), SearchScope::Book, {2, 0, 0}, endOfAll},
        // 第 is in nearly every heading, so heading hits and the bodies
        // after them are walked too.
        {QStringLiteral("第"),
         SearchScope::Book,
         {1, 0, 0},
         {1, first.LastChapter(), first.ChapterTexts.back().size()}},
        {QStringLiteral("回"), SearchScope::AllBooks, {1, 0, 0}, endOfAll},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what.toStdString() + " scope " + std::to_string(static_cast<int>(c.scope)));
        std::vector<FoundHit> hits;
        const std::vector<Spot> walked = Walk(c.what, c.scope, c.start);
        ASSERT_GT(walked.size(), 10u);
        EXPECT_EQ(FindEvery(Input(c.what, c.scope, c.start, ScriptChoice::None), &hits), walked);
        EXPECT_EQ(Walk(c.what, c.scope, c.end, true), walked);
        // Each hit carries its chapter's title and the line around it.
        for (const FoundHit& hit : hits) {
            const QString& title = state.Books[hit.book].Chapters[static_cast<size_t>(hit.chapter)].Title;
            ASSERT_EQ(hit.title, title);
            ASSERT_TRUE(hit.context.contains(c.what));
            ASSERT_FALSE(hit.context.contains(u'\n'));
        }
    }
}

// A book shown in the other script is searched as shown.
TEST_F(FindAllHits, SearchesTheTextAsShownInTheChosenScript)
{
    const ScriptConverter simplified(ScriptChoice::ToSimplified);
    ASSERT_TRUE(simplified.Ready()) << simplified.Problem().toStdString();
    LoadNovels(&simplified);
    // 儒林外史 is traditional: 范进 only exists in it as shown.
    const std::vector<Spot> walked = Walk(QStringLiteral("范进"), SearchScope::AllBooks, {1, 0, 0});
    ASSERT_GT(walked.size(), 10u);
    EXPECT_EQ(FindEvery(Input(QStringLiteral("范进"), SearchScope::AllBooks, {1, 0, 0}, ScriptChoice::ToSimplified)),
              walked);
    EXPECT_TRUE(FindEvery(Input(QStringLiteral("范进"), SearchScope::AllBooks, {1, 0, 0}, ScriptChoice::None)).empty());
}

// Overlapping occurrences, a heading that holds the text over a body that
// begins with it, and the cursor's errors.
TEST_F(FindAllHits, WalksOverlapsAndHeadingsAsSearchesDoAndReportsErrors)
{
    const QString path = folder.WriteGbk(QStringLiteral("哈.txt"),
                                         QStringLiteral("哈哈哈哈哈\r\n第一章 哈哈\r\n哈哈哈\r\n"
                                                        "第二章 笑\r\n嘻哈哈哈\r\n"));
    ASSERT_TRUE(LoadTextFile(state, path, host).Succeeded());
    const QString what = QStringLiteral("哈哈");
    const std::vector<Spot> walked = Walk(what, SearchScope::Book, {1, 0, 0});
    EXPECT_EQ(walked, (std::vector<Spot>{{1, 0, 0, 2}, {1, 0, 2, 2}, {1, 1, -1, 0}, {1, 1, 1, 2}, {1, 2, 1, 2}}));
    EXPECT_EQ(FindEvery(Input(what, SearchScope::Book, {1, 0, 0}, ScriptChoice::None)), walked);
    EXPECT_EQ(Walk(what, SearchScope::Book, {1, 2, 6}, true), walked);

    const std::atomic<bool> stop{false};
    const auto ignore = [](const QList<FoundHit>&) {};
    EXPECT_EQ(FindAll(Input(what, SearchScope::Book, {1, 0, 99}, ScriptChoice::None), ignore, stop).error,
              kInvalidArgument);
    EXPECT_EQ(FindAll(Input(what, SearchScope::Book, {2, 0, 0}, ScriptChoice::None), ignore, stop).error, kNoSuchIndex);
    EXPECT_EQ(FindAll(Input(what, SearchScope::Book, {1, 3, 0}, ScriptChoice::None), ignore, stop).error, kNoSuchIndex);
}

// Stopped after its first batch, a search ends early and says so.
TEST_F(FindAllHits, StopsWhenAsked)
{
    LoadNovels();
    std::atomic<bool> stop{false};
    qsizetype found = 0;
    const FindAllEnd end = FindAll(
        Input(QStringLiteral("的"), SearchScope::AllBooks, {1, 0, 0}, ScriptChoice::None),
        [&](const QList<FoundHit>& batch) {
            found += batch.size();
            stop = true;
        },
        stop);
    EXPECT_TRUE(end.stopped);
    EXPECT_GT(found, 0);
    EXPECT_LT(static_cast<size_t>(found), Walk(QStringLiteral("的"), SearchScope::AllBooks, {1, 0, 0}).size());
}

// The library: each file read in its encoding and split as opening it
// would; files that are gone are counted, not fatal.
TEST_F(FindAllHits, FilesAreReadInTheirEncodingsWithProgress)
{
    const QString text = QStringLiteral("简介：甲书\r\n第一章 龙城\r\n龙城很大。\r\n第二章 归来\r\n回到龙城。\r\n");
    const QString gbk = folder.WriteGbk(QStringLiteral("甲.txt"), text);
    QByteArray utf16 = EncodeText(text, TextEncoding::Utf16LE);
    const QString utf16Path = folder.WriteBytes(QStringLiteral("乙.txt"), utf16);
    // The loader deletes 〓 from a short line, which joins 龙 and 城; 丁
    // holds no 龙城 at all.
    const QString joined = folder.WriteGbk(QStringLiteral("丙.txt"), QStringLiteral("第一章 风\r\n龙〓城\r\n"));
    const QString without = folder.WriteBytes(QStringLiteral("丁.txt"), QStringLiteral("第一章 城\r\n龙\r\n").toUtf8());
    const QList<LibraryFile> files{{gbk, EncodingChoice::Automatic},
                                   {folder.Path(QStringLiteral("不在.txt")), EncodingChoice::Automatic},
                                   {utf16Path, EncodingChoice::Utf16LE},
                                   {joined, EncodingChoice::Automatic},
                                   {without, EncodingChoice::Automatic}};
    std::vector<Spot> spots;
    QStringList titles;
    FindProgress last;
    const std::atomic<bool> stop{false};
    const FindAllEnd end = FindInFiles(
        files, QStringLiteral("龙城"),
        [&](const QList<FoundHit>& batch) {
            for (const FoundHit& hit : batch) {
                spots.emplace_back(hit.book, hit.chapter, hit.offset, hit.length);
                titles.append(hit.title);
            }
        },
        [&](const FindProgress& progress) {
            EXPECT_GE(progress.filesDone, last.filesDone);
            last = progress;
        },
        stop);
    EXPECT_FALSE(end.stopped);
    const std::vector<Spot> inEach{{0, 1, -1, 0}, {0, 1, 0, 2}, {0, 2, 2, 2}};
    std::vector<Spot> expected = inEach;
    for (const Spot& spot : inEach)
        expected.emplace_back(2, std::get<1>(spot), std::get<2>(spot), std::get<3>(spot));
    expected.emplace_back(3, 0, 0, 2);
    EXPECT_EQ(spots, expected);
    EXPECT_EQ(
        titles.mid(0, 3),
        (QStringList{QStringLiteral("第一章 龙城"), QStringLiteral("第一章 龙城"), QStringLiteral("第二章 归来")}));
    EXPECT_EQ(last.filesDone, 5);
    EXPECT_EQ(last.unreadable, 1);
    EXPECT_EQ(last.bytes, QFileInfo(gbk).size() + utf16.size() + QFileInfo(joined).size() + QFileInfo(without).size());
    EXPECT_EQ(last.bytesDone, last.bytes);

    // Stopped after the first file, the search hands on nothing more.
    std::atomic<bool> stopNow{false};
    const FindAllEnd stopped = FindInFiles(
        files, QStringLiteral("龙城"), [](const QList<FoundHit>&) {},
        [&](const FindProgress& progress) {
            last = progress;
            stopNow = progress.filesDone >= 1;
        },
        stopNow);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(last.filesDone, 1);
}

}  // namespace
