#include "core/books/search_text.h"
#include "core/books/text_loader.h"
#include "support/fake_loader_host.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

// Keeps text and selection like the real pane and shows chapters from the
// store like the real window.
class FakePane : public SearchPane {
public:
    explicit FakePane(ReaderState& state) : state_(state) {}

    QString Text() const override { return text; }
    void SetText(const QString& value) override { text = value, selStart = 1, selLength = 0; }
    void Select(qsizetype start, qsizetype length) override { selStart = start, selLength = length, ++selections; }
    void ShowChapter() override
    {
        const Book& book = state_.Current();
        SetText(book.ChapterTexts.at(book.ChapterIndex));
        ++shows;
    }
    QString Selected() const { return text.mid(selStart, selLength); }

    QString text;
    qsizetype selStart = 0, selLength = 0;
    int selections = 0, shows = 0;

private:
    ReaderState& state_;
};

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 甲 starts with text before its first heading: chapter 0 is untitled.
        Load(QStringLiteral("甲.txt"),
             QStringLiteral("简介：甲书\r\n第一章 出发\r\n清晨，他离开了村子。\r\n村口有一棵老槐树。\r\n"
                            "第二章 龙城\r\n他来到龙城。城门很高。\r\n第三章 归来\r\n龙城的夜很静。Dragon\r\n"));
        Load(QStringLiteral("乙.txt"),
             QStringLiteral("第一章 山门\r\n山门前有石狮。\r\n第二章 石桥\r\n桥下流水。石狮无言。\r\n"));
        Load(QStringLiteral("丙.txt"), QStringLiteral("第一章 石狮记\r\n山中岁月长。\r\n"));
        ASSERT_EQ(state.Books[1].LastChapter(), 3);
        ASSERT_EQ(state.Books[1].Chapters[2].Title, QStringLiteral("第二章 龙城"));
        ASSERT_EQ(state.Books[2].LastChapter(), 1);
        ASSERT_EQ(state.Books[3].ChapterTexts, std::vector<QString>{QStringLiteral("山中岁月长。\r\n")});
        pane.text = QStringLiteral("窗格原有的文字");
    }

    void Load(const QString& name, const QString& text)
    {
        const LoadResult result = LoadTextFile(state, folder.WriteGbk(name, text), host);
        ASSERT_TRUE(result.Succeeded());
        state.Books[result.Code].ChapterIndex = 0;
    }

    SearchResult Find(const QString& what, SearchScope scope, SearchCursor cursor)
    {
        return SearchText(state, pane, what, scope, cursor);
    }

    // Everything a search may change.
    std::vector<QString> Snap() const
    {
        std::vector<QString> values{pane.text, QString::number(pane.selStart), QString::number(pane.selLength),
                                    QString::number(pane.shows), QString::number(state.CurrentBook)};
        for (int slot = 1; slot <= state.Books.Count(); ++slot)
            values.push_back(QString::number(state.Books[slot].ChapterIndex));
        return values;
    }

    void ExpectAt(int book, int chapter)
    {
        EXPECT_EQ(state.CurrentBook, book);
        EXPECT_EQ(state.Books[book].ChapterIndex, chapter);
        EXPECT_EQ(pane.text, state.Books[book].ChapterTexts[chapter]);
    }

    TempFolder folder;
    ReaderState state;
    FakeLoaderHost host;
    FakePane pane{state};
};

TEST_F(Search, PaneScopeSelectsFromTheOffsetAndMovesNothingElse)
{
    pane.text = QStringLiteral("龙城的夜\r\n龙城的城门\r\n");
    // CR LF counts as two characters: the second 龙城 is at 6.
    EXPECT_TRUE(Find(QStringLiteral("龙城"), SearchScope::Pane, {1, 2, 1}).found);
    EXPECT_EQ(pane.selStart, 6);
    EXPECT_EQ(pane.Selected(), QStringLiteral("龙城"));
    EXPECT_EQ(pane.shows, 0);
    EXPECT_EQ(state.CurrentBook, 3);

    const auto before = Snap();
    EXPECT_FALSE(Find(QStringLiteral("龙城"), SearchScope::Pane, {1, 2, 7}).found);
    EXPECT_FALSE(Find(QStringLiteral("石狮"), SearchScope::Pane, {1, 2, 0}).found);
    EXPECT_EQ(Snap(), before);
}

TEST_F(Search, BookScopeTestsHeadingsThenBodiesAfterTheStartChapter)
{
    // Chapter 2's heading holds 龙城 before any body does; it selects nothing.
    EXPECT_TRUE(Find(QStringLiteral("龙城"), SearchScope::Book, {1, 0, 0}).found);
    ExpectAt(1, 2);
    EXPECT_EQ(pane.selections, 0);

    // A body hit on a second line; the contents view (-1) starts at chapter 0.
    EXPECT_TRUE(Find(QStringLiteral("老槐树"), SearchScope::Book, {1, -1, 0}).found);
    ExpectAt(1, 1);
    EXPECT_EQ(pane.selStart, 17);
    EXPECT_EQ(pane.Selected(), QStringLiteral("老槐树"));

    // In the start chapter only the body counts, from the offset on.
    EXPECT_TRUE(Find(QStringLiteral("龙城"), SearchScope::Book, {1, 2, 0}).found);
    ExpectAt(1, 2);
    EXPECT_EQ(pane.selStart, 3);
    EXPECT_TRUE(Find(QStringLiteral("龙城"), SearchScope::Book, {1, 2, 4}).found);
    ExpectAt(1, 3);
    EXPECT_EQ(pane.selStart, 0);
    // An offset at the very end leaves nothing of the start chapter.
    EXPECT_TRUE(Find(QStringLiteral("龙城"), SearchScope::Book, {1, 2, state.Books[1].ChapterTexts[2].size()}).found);
    ExpectAt(1, 3);
}

TEST_F(Search, BookScopeNeverWrapsAndIsCaseSensitive)
{
    state.CurrentBook = 1;
    state.Books[1].ChapterIndex = 1;
    // 老槐树 is only before the cursor, 石狮 only in the next book.
    EXPECT_FALSE(Find(QStringLiteral("老槐树"), SearchScope::Book, {1, 2, 0}).found);
    EXPECT_FALSE(Find(QStringLiteral("石狮"), SearchScope::Book, {1, 2, 0}).found);
    // The start chapter's body went into the pane and stays; the position does not move.
    EXPECT_EQ(pane.text, state.Books[1].ChapterTexts[2]);
    EXPECT_EQ(state.Books[1].ChapterIndex, 1);
    EXPECT_EQ(pane.shows, 0);

    for (const QString& other : {QStringLiteral("DRAGON"), QStringLiteral("dragon"), QStringLiteral("Ｄｒａｇｏｎ")})
        EXPECT_FALSE(Find(other, SearchScope::Book, {1, 0, 0}).found) << other.toStdString();
    EXPECT_TRUE(Find(QStringLiteral("Dragon"), SearchScope::Book, {1, 0, 0}).found);
    EXPECT_EQ(pane.Selected(), QStringLiteral("Dragon"));
}

TEST_F(Search, AllBooksScopeGoesOnThroughLaterBooksOnly)
{
    EXPECT_TRUE(Find(QStringLiteral("石狮"), SearchScope::AllBooks, {1, 0, 0}).found);
    ExpectAt(2, 0);
    EXPECT_EQ(pane.Selected(), QStringLiteral("石狮"));

    // Past the last 石狮 of book 2, book 3's first heading is next (第一章 石狮记).
    const int selections = pane.selections;
    EXPECT_TRUE(Find(QStringLiteral("石狮"), SearchScope::AllBooks, {2, 1, 6}).found);
    ExpectAt(3, 0);
    // A later chapter's heading in the start book.
    EXPECT_TRUE(Find(QStringLiteral("石桥"), SearchScope::AllBooks, {2, 0, 0}).found);
    ExpectAt(2, 1);
    EXPECT_EQ(pane.selections, selections);

    // Only in an earlier book, before the offset, or in the start chapter's
    // heading (第一章 山门): not found, nothing changes.
    const auto before = Snap();
    EXPECT_FALSE(Find(QStringLiteral("山门"), SearchScope::AllBooks, {2, 0, 1}).found);
    EXPECT_FALSE(Find(QStringLiteral("老槐树"), SearchScope::AllBooks, {2, 0, 0}).found);
    EXPECT_FALSE(Find(QStringLiteral("岁月"), SearchScope::AllBooks, {3, 0, 3}).found);
    EXPECT_EQ(Snap(), before);
}

TEST_F(Search, ErrorsForOffsetsAndIndexesThatAreNotThere)
{
    const qsizetype end = state.Books[1].ChapterTexts[2].size();
    const auto before = Snap();
    const SearchResult past = Find(QStringLiteral("窗"), SearchScope::Pane, {1, 2, pane.text.size() + 1});
    EXPECT_FALSE(past.found);
    EXPECT_EQ(past.ErrorText(), QStringLiteral("5无效的过程调用或参数"));
    EXPECT_EQ(Find(QStringLiteral("龙城"), SearchScope::AllBooks, {1, 2, end + 1}).error, kInvalidArgument);
    EXPECT_EQ(Find(QStringLiteral("龙城"), SearchScope::AllBooks, {1, 2, -1}).error, kInvalidArgument);
    for (const SearchScope scope : {SearchScope::Book, SearchScope::AllBooks}) {
        for (const SearchCursor cursor :
             {SearchCursor{0, 0, 0}, SearchCursor{4, 0, 0}, SearchCursor{-1, 0, 0}, SearchCursor{70000, 0, 0},
              SearchCursor{1, 4, 0}, SearchCursor{1, -2, 0}, SearchCursor{3, 1, 0}}) {
            const SearchResult result = Find(QStringLiteral("石狮"), scope, cursor);
            EXPECT_FALSE(result.found);
            EXPECT_EQ(result.ErrorText(), QStringLiteral("9下标越界")) << cursor.book << "," << cursor.chapter;
        }
    }
    EXPECT_EQ(Snap(), before);

    // The book scope puts its start chapter into the pane before reading
    // the offset, so only the pane has changed.
    EXPECT_EQ(Find(QStringLiteral("龙城"), SearchScope::Book, {1, 2, end + 1}).error, kInvalidArgument);
    EXPECT_EQ(pane.text, state.Books[1].ChapterTexts[2]);
    EXPECT_EQ(state.CurrentBook, 3);
    EXPECT_EQ(pane.shows, 0);
}

}  // namespace
