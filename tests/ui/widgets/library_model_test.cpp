#include "ui/widgets/library_model.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryModelText, TimesProgressAndSizeAsTheReaderReadsThem)
{
    const QDateTime now(QDate(2024, 3, 10), QTime(21, 0));
    EXPECT_EQ(LibraryTimeText(now.addSecs(-3600), now), QStringLiteral("今天 20:00"));
    EXPECT_EQ(LibraryTimeText(now.addDays(-1), now), QStringLiteral("昨天 21:00"));
    EXPECT_EQ(LibraryTimeText(now.addDays(-2), now), QStringLiteral("2024-03-08 21:00"));
    EXPECT_EQ(LibraryTimeText(QDateTime(), now), QStringLiteral("—"));

    LibraryBook read{.path = QStringLiteral("/不在/甲.txt"), .size = 1536, .chapterCount = 12};
    read.place = {4, 0};
    read.chapterTitle = QStringLiteral("第五章");
    read.progress = 0.375;
    read.lastRead = now;
    LibraryModel model;
    model.SetBooks({read, LibraryBook{.path = QStringLiteral("/不在/乙.txt")}});
    const auto text = [&](int row, int column) { return model.index(row, column).data().toString(); };
    EXPECT_EQ(text(0, LibraryModel::ProgressColumn), QStringLiteral("38% 第五章"));
    EXPECT_EQ(text(1, LibraryModel::ProgressColumn), QString());  // never read
    EXPECT_EQ(text(0, LibraryModel::SizeColumn), QStringLiteral("1.5 KB"));
    EXPECT_EQ(text(1, LibraryModel::SizeColumn), QString());  // not known
    EXPECT_EQ(text(1, LibraryModel::ChaptersColumn), QString());
    EXPECT_EQ(text(0, LibraryModel::FolderColumn), QStringLiteral("/不在"));
}

}  // namespace
