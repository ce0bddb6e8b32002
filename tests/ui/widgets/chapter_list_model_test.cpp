#include "ui/widgets/chapter_list_model.h"

#include <gtest/gtest.h>

namespace {

TEST(ChapterMatching, TitleTextInEitherCaseOrTheStartOfTheNumber)
{
    const QString title = QStringLiteral("第一百二十三回 Monkey King");
    EXPECT_TRUE(ChapterMatches(123, title, QString()));
    EXPECT_TRUE(ChapterMatches(123, title, QStringLiteral("二十三回")));
    EXPECT_TRUE(ChapterMatches(123, title, QStringLiteral("monkey")));
    EXPECT_FALSE(ChapterMatches(123, title, QStringLiteral("八戒")));
    EXPECT_TRUE(ChapterMatches(123, title, QStringLiteral("12")));
    EXPECT_TRUE(ChapterMatches(123, title, QStringLiteral("１２３")));  // full-width digits
    EXPECT_FALSE(ChapterMatches(123, title, QStringLiteral("23")));     // not where the number starts
    EXPECT_FALSE(ChapterMatches(123, title, QStringLiteral("1234")));
    EXPECT_FALSE(ChapterMatches(12, QStringLiteral("第十二章"), QStringLiteral("12章")));  // text, not a number
    EXPECT_TRUE(ChapterMatches(122, QStringLiteral("第123章"), QStringLiteral("23")));     // in the title
}

// The loader's way: chapters are appended, and only the last one's title
// can still change (a heading right after another replaces its title).
TEST(ChapterListModelTest, FollowsTheStoreOneRowAtATime)
{
    ReaderState state;
    const int slot = state.Books.Add(QStringLiteral("/书/甲.txt"), QStringLiteral("甲.txt"));
    state.CurrentBook = static_cast<std::int16_t>(slot);
    Book& book = state.Books[slot];
    auto arrive = [&](const QString& title) {
        book.Chapters.push_back({static_cast<std::int16_t>(book.Chapters.size()), title});
        book.ChapterTexts.emplace_back();
    };
    auto rows = [](const ChapterListModel& model) {
        QList<int> chapters;
        for (int row = 0; row < model.rowCount(); ++row)
            chapters.append(model.ChapterAt(row));
        return chapters;
    };
    ChapterListModel model(state);
    EXPECT_EQ(model.rowCount(), 0);  // one untitled chapter: no chapter list
    int inserted = 0, removed = 0, resets = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, [&] { ++removed; });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    arrive(QStringLiteral("第一回"));
    EXPECT_FALSE(model.Sync());
    EXPECT_EQ(rows(model), QList<int>({0, 1}));
    EXPECT_EQ(model.index(1).data().toString(), QStringLiteral("1\t第一回"));
    model.SetFilter(QStringLiteral(" 回 "));
    EXPECT_EQ(rows(model), QList<int>({1}));
    resets = 0;
    book.Chapters[1].Title = QStringLiteral("第一章");
    EXPECT_FALSE(model.Sync());
    EXPECT_EQ(model.rowCount(), 0);
    book.Chapters[1].Title = QStringLiteral("第一回 灵根育孕");
    arrive(QStringLiteral("第二回 悟彻菩提"));
    arrive(QStringLiteral("外传"));
    arrive(QStringLiteral("第三回"));
    EXPECT_FALSE(model.Sync());
    EXPECT_EQ(rows(model), QList<int>({1, 2, 4}));
    EXPECT_EQ(model.index(0).data().toString(), QStringLiteral("1\t第一回 灵根育孕"));
    EXPECT_FALSE(model.Sync());
    // Rows came and went one by one, so views keep their place.
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(inserted, 2);

    model.SetFilter(QStringLiteral("4"));
    EXPECT_EQ(rows(model), QList<int>({4}));
    EXPECT_EQ(model.NamedChapter(), 4);
    model.SetFilter(QStringLiteral("04"));  // no chapter is numbered "04"
    EXPECT_EQ(model.NamedChapter(), -1);
    model.SetFilter(QStringLiteral("99999999999"));
    EXPECT_EQ(model.NamedChapter(), -1);

    // Volumes: their chapters stand indented under them, and a volume's
    // title found lists all its chapters, as they arrive too.
    book.Chapters[2].Volume = true;
    arrive(QStringLiteral("第四回"));
    model.SetFilter(QStringLiteral("悟彻"));
    EXPECT_EQ(rows(model), QList<int>({2, 3, 4, 5}));
    EXPECT_EQ(model.index(3).data().toString(), QStringLiteral("5\t　　第四回"));
    arrive(QStringLiteral("第五回"));
    EXPECT_FALSE(model.Sync());
    EXPECT_EQ(rows(model), QList<int>({2, 3, 4, 5, 6}));

    // Another current book, or none, replaces the list.
    state.CurrentBook = 0;
    EXPECT_TRUE(model.Sync());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.ListedBook(), 0);
}

}  // namespace
