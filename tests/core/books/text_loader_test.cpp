#include "core/books/text_loader.h"
#include "core/text/chapter_heading.h"
#include "support/fake_loader_host.h"
#include "support/test_files.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct Chapter {
    QString title;
    QString body;
    bool operator==(const Chapter&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Chapter& c)
{
    return out << "{" << c.title.toStdString() << " | " << c.body.toStdString() << "}";
}

std::vector<Chapter> Table(const ReaderState& state, int slot)
{
    std::vector<Chapter> table;
    const Book& book = state.Books[slot];
    EXPECT_EQ(book.Chapters.size(), book.ChapterTexts.size());
    for (int i = 0; i <= book.LastChapter(); ++i) {
        EXPECT_EQ(book.Chapters[i].Number, i);
        table.push_back({book.Chapters[i].Title, book.ChapterTexts[i]});
    }
    return table;
}

class Loader : public ::testing::Test {
protected:
    // Loads GBK text through a real file and returns its chapter table.
    std::vector<Chapter> LoadGbk(const QString& text)
    {
        const LoadResult result =
            LoadTextFile(state, folder.WriteGbk(QStringLiteral("书%1.txt").arg(++files), text), host);
        EXPECT_TRUE(result.Succeeded());
        return Table(state, result.Code);
    }
    std::vector<Chapter> LoadBytes(const QByteArray& bytes)
    {
        const LoadResult result =
            LoadTextFile(state, folder.WriteBytes(QStringLiteral("b%1.txt").arg(++files), bytes), host);
        EXPECT_TRUE(result.Succeeded());
        return Table(state, result.Code);
    }

    TempFolder folder;
    ReaderState state;
    FakeLoaderHost host;
    int files = 0;
};

TEST_F(Loader, ChapterTablesFollowTheHeadingLines)
{
    using C = std::vector<Chapter>;
    const QString ch1 = QStringLiteral("第一章 开端"), ch2 = QStringLiteral("第二章 发展"),
                  text = QStringLiteral("正文");
    // A file that begins with a heading: that heading is chapter 0's title.
    EXPECT_EQ(LoadGbk(ch1 + "\r\n" + text + "\r\n" + ch2 + "\r\n" + text + "\r\n"),
              (C{{ch1, text + "\r\n"}, {ch2, text + "\r\n"}}));
    // Text before the first heading is chapter 0 without title.
    EXPECT_EQ(LoadGbk(QStringLiteral("简介\r\n第一章\r\n正文")),
              (C{{"", QStringLiteral("简介\r\n")}, {QStringLiteral("第一章"), text + "\r\n"}}));
    // Adjacent headings: the last replaces the title of the chapter in progress.
    EXPECT_EQ(LoadGbk(QStringLiteral("第一章\r\n第二章\r\n正文\r\n")), (C{{QStringLiteral("第二章"), text + "\r\n"}}));
    // A blank line between headings is body text, so both make chapters.
    EXPECT_EQ(LoadGbk(QStringLiteral("第一章\r\n\r\n第二章\r\n正文")),
              (C{{QStringLiteral("第一章"), "\r\n"}, {QStringLiteral("第二章"), text + "\r\n"}}));
    // "序" alone is a heading, not preamble text.
    EXPECT_EQ(LoadGbk(QStringLiteral("序\r\n正文")), (C{{QStringLiteral("序"), text + "\r\n"}}));
    EXPECT_EQ(LoadGbk(""), (C{{"", ""}}));
    EXPECT_EQ(LoadGbk(QStringLiteral("只有正文\r\n没有标题")), (C{{"", QStringLiteral("只有正文\r\n没有标题\r\n")}}));
}

TEST_F(Loader, BodyLinesAreStoredAsCleaned)
{
    const QString longLine = QStringLiteral(" 〓") + QString(30, QChar(u'长')) + " ";
    const auto table = LoadGbk(QStringLiteral("　　他说 \r\n  〓引子〓  \r\n") + longLine + "\r\n");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].body, QStringLiteral("　　他说\r\n引子\r\n") + longLine + "\r\n");
}

TEST_F(Loader, EveryLineEndFormSplitsTheSameWay)
{
    const QString ch1 = QStringLiteral("第一章"), ch2 = QStringLiteral("第二章");
    const std::vector<Chapter> expected = {{ch1, QStringLiteral("甲\r\n")}, {ch2, QStringLiteral("乙\r\n")}};
    for (const char* end : {"\r\n", "\r", "\n"}) {
        const QString text = ch1 + end + QStringLiteral("甲") + end + ch2 + end + QStringLiteral("乙");
        EXPECT_EQ(LoadGbk(text), expected) << "line end " << QByteArray(end).toHex().constData();
        EXPECT_EQ(LoadBytes(text.toUtf8()), expected);
        EXPECT_EQ(LoadBytes("\xEF\xBB\xBF" + text.toUtf8()), expected);
    }
}

TEST_F(Loader, MissingFilesAndDuplicates)
{
    for (const QString& path :
         {QString(), folder.Path("none.txt"), folder.Root(), folder.WriteBytes(".hidden.txt", "x")}) {
        const LoadResult result = LoadTextFile(state, path, host);
        EXPECT_EQ(result.Code, 1);
        EXPECT_EQ(result.Message, QStringLiteral("找不到该文件"));
        EXPECT_EQ(LoadFailureText(result), QStringLiteral("文件打开错误!1找不到该文件"));
    }
    EXPECT_EQ(state.Books.Count(), 0);

    const QString path = folder.WriteGbk("Book.txt", QStringLiteral("第一章\r\n甲"));
    const LoadResult first = LoadTextFile(state, path, host);
    ASSERT_TRUE(first.Succeeded());
    EXPECT_EQ(state.Books[first.Code].FileName, "Book.txt");
    // The same path again returns the book as it is, without reading the
    // file again, and without changing the current book.
    folder.WriteGbk("Book.txt", QStringLiteral("第九章\r\n乙"));
    state.CurrentBook = 0;
    const LoadResult again = LoadTextFile(state, path, host);
    EXPECT_TRUE(again.Succeeded());
    EXPECT_EQ(again.Code, first.Code);
    EXPECT_EQ(state.CurrentBook, 0);
    EXPECT_EQ(state.Books[first.Code].Chapters[0].Title, QStringLiteral("第一章"));
    // A path differing only in case is another book.
    const QString upper = folder.WriteGbk("BOOK.txt", QStringLiteral("第一章\r\n丙"));
    const LoadResult other = LoadTextFile(state, upper, host);
    EXPECT_NE(other.Code, first.Code);
    EXPECT_EQ(state.Books.Count(), 2);
}

TEST_F(Loader, StoreHoldsAtMost255Books)
{
    for (int i = 1; i <= 255; ++i) {
        const LoadResult result = LoadTextFile(state, folder.WriteBytes(QString("%1.txt").arg(i), "x"), host);
        ASSERT_TRUE(result.Succeeded());
        ASSERT_EQ(result.Code, i);
    }
    const LoadResult refused = LoadTextFile(state, folder.WriteBytes("256.txt", "x"), host);
    EXPECT_EQ(refused.Error, LoadError::Overflow);
    EXPECT_EQ(state.Books.Count(), 255);
    EXPECT_EQ(state.CurrentBook, 255);
    // A book already in the full store is still found.
    EXPECT_EQ(LoadTextFile(state, folder.Path("7.txt"), host).Code, 7);
}

TEST_F(Loader, ChapterOverflowKeepsTheBookAsReadSoFar)
{
    QString text;
    for (int i = 0; i <= 32768; ++i)
        text += "1\r\nx\r\n";  // a bare number is a heading
    const LoadResult result = LoadTextFile(state, folder.WriteGbk("many.txt", text), host);
    EXPECT_EQ(result.Error, LoadError::Overflow);
    ASSERT_EQ(state.Books.Count(), 1);
    const Book& book = state.Books[1];
    EXPECT_EQ(book.LastChapter(), 32767);
    EXPECT_EQ(book.Chapters[32767].Number, 32767);
    EXPECT_EQ(book.ChapterTexts[32767], "x\r\n");
}

TEST_F(Loader, ShowsTheBeginningWhileLoading)
{
    // Rule 1: chapter 0 with at least 5 characters is shown when it closes.
    std::vector<QString> shown;
    host.onShow = [&] { shown.push_back(state.Current().ChapterTexts[state.Current().ChapterIndex]); };
    LoadGbk(QStringLiteral("前言四字\r\n第一章\r\n正文\r\n"));
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("前言四字\r\n")});

    // Shorter chapter 0 and a pane that already shows something: nothing.
    shown.clear();
    LoadGbk(QStringLiteral("前言\r\n第一章\r\n正文\r\n第二章\r\n"));
    EXPECT_TRUE(shown.empty());

    // Rule 2: once chapter 1 is under way and the pane is empty, chapter 0
    // is shown (after every line, while the pane stays empty).
    host.paneEmpty = true;
    LoadGbk(QStringLiteral("第一章\r\n甲\r\n第二章\r\n乙\r\n丙\r\n第三章\r\n"));
    EXPECT_EQ(shown, std::vector<QString>(3, QStringLiteral("甲\r\n")));
}

TEST_F(Loader, YieldsByTimeAndSurvivesWhatRunsMeanwhile)
{
    // Enough lines that the 10 ms clock runs out several times.
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += (i % 1000 == 0 ? QStringLiteral("第%1章\r\n").arg(i / 1000 + 1)
                               : QStringLiteral("一行正文，用来填满这本书。\r\n"));
    const QString big = folder.WriteGbk("big.txt", text);
    // While the big book loads, another load (a folder scan, say) adds books:
    // the store grows under the loader, which must keep filling its own slot.
    host.onYield = [&] {
        if (state.Books.Count() < 40)
            LoadTextFile(state, folder.WriteBytes(QString("extra%1.txt").arg(state.Books.Count()), "x"), host);
        return true;
    };
    const LoadResult result = LoadTextFile(state, big, host);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.Code, 1);
    EXPECT_GT(host.yields, 0);
    EXPECT_LT(host.yields, 200000 / 256 + 1);  // never once a line
    EXPECT_EQ(state.Books[1].LastChapter(), 199);
    EXPECT_EQ(state.Books[1].Chapters[199].Title, QStringLiteral("第200章"));

    // A host that closes the program interrupts the load.
    host.onYield = [] { return false; };
    EXPECT_EQ(LoadTextFile(state, folder.WriteGbk("big2.txt", text), host).Error, LoadError::Interrupted);
}

// The real novels: every heading line the rules accept opens a chapter
// with exactly that title, in file order.
TEST(LoaderCorpus, ClassicalNovelsSplitAtTheirHeadings)
{
    QFile tsv(QStringLiteral(READER_CORPUS_DIR "/headings.tsv"));
    ASSERT_TRUE(tsv.open(QIODevice::ReadOnly));
    std::map<QString, QStringList> headings;
    tsv.readLine();
    while (!tsv.atEnd()) {
        const QStringList fields = QString::fromUtf8(tsv.readLine()).chopped(1).split(u'\t');
        headings[fields[0]].append(fields[2]);
    }
    ASSERT_EQ(headings.size(), 4u);
    for (const auto& [gbkName, lines] : headings) {
        for (const QString& name : {gbkName, QString(gbkName).replace(".gbk.", ".utf8.")}) {
            ReaderState state;
            FakeLoaderHost host;
            const LoadResult result = LoadTextFile(state, QStringLiteral(READER_CORPUS_DIR "/") + name, host);
            ASSERT_TRUE(result.Succeeded()) << name.toStdString();
            const Book& book = state.Books[result.Code];
            QStringList titles;
            for (const ChapterEntry& entry : book.Chapters)
                titles.append(entry.Title);
            int at = 0;
            int accepted = 0;
            for (QString line : lines) {
                if (!IsChapterHeading(line))
                    continue;
                ++accepted;
                const int found = titles.indexOf(line, at);
                EXPECT_GE(found, at) << name.toStdString() << ": " << line.toStdString();
                at = std::max(at, found);
            }
            EXPECT_GT(accepted, lines.size() * 9 / 10) << name.toStdString();
            // Body text is everything else: the book's text is all there.
            qsizetype chars = 0;
            for (const QString& body : book.ChapterTexts)
                chars += body.size();
            EXPECT_GT(chars, 300000) << name.toStdString();
        }
    }
}

}  // namespace
