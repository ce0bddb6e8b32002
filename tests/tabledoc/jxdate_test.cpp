// The table document parser: parsing, cursor moves, field reads, and a
// cursor the caller has written nonsense into.

#include "tabledoc/jxdate.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <tuple>

static void PrintTo(const JxValue& v, std::ostream* os)
{
    static const char* const kinds[] = {"empty", "text", "false"};
    *os << kinds[int(v.kind())] << " \"" << v.text().toStdString() << '"';
}

static JxValue txt(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

static jxdate parsed(const QString& document)
{
    jxdate doc;
    doc.data = document;
    doc.Jx();
    return doc;
}

// Everything a caller can see, and the part of it a read or move sets.
static auto state(const jxdate& d)
{
    return std::tuple(d.recordcount, d.tabel, d.record, d.value, d.recordname, d.bug, d.data, d.tabels, d.records);
}
using At = std::tuple<int, int, int, int, JxValue, JxValue>;
static At at(const jxdate& d)
{
    return {d.tabel, d.record, d.recordcount, d.records, d.recordname, d.value};
}

// Tables: 1 header (2 fields), 2 detail (3 fields x 2 rows), 3 header, 4 empty.
static const QString kDoc =
    QString::fromUtf8(R"(<项 编号="7" 名称="书"><明细><甲="a" 乙="b" 丙="c"><甲="d" 乙="e" 丙="f"/></明细></项>)"
                      R"(<项 号="2" /></项>tail)");

TEST(JxParse, EmptyOrFalseData)
{
    jxdate doc;
    doc.bug = true;
    doc.Jx();  // empty text, then an empty value: nothing happens
    doc.data = JxValue();
    doc.Jx();
    EXPECT_EQ(doc.tabels, 0);
    EXPECT_TRUE(doc.bug);
    doc.bug = false;
    doc.data = JxValue::makeFalse();
    doc.Jx();
    EXPECT_TRUE(doc.bug);
}

TEST(JxParse, EachItemGivesAHeaderAndADetailTable)
{
    jxdate doc = parsed(kDoc);
    ASSERT_FALSE(doc.bug);
    EXPECT_EQ(doc.tabels, 4);
    EXPECT_EQ(doc.data, txt("tail"));  // only the items are consumed
    EXPECT_EQ(at(doc), At(1, 1, 1, 2, txt("编号"), txt("7")));
    doc.Movetabel(2);
    EXPECT_EQ(at(doc), At(2, 1, 2, 3, txt("甲"), txt("a")));
    doc.Moverecord(2);
    EXPECT_EQ(doc.Recordi(3), txt("f"));
    EXPECT_EQ(at(doc), At(2, 2, 2, 3, txt("丙"), txt("f")));
    doc.MoveNextTabel();  // its value is stored after both rows of table 2
    EXPECT_EQ(at(doc), At(3, 1, 1, 1, txt("号"), txt("2")));
    doc.MoveNextTabel();  // no detail section: no fields, no records
    EXPECT_EQ(at(doc), At(4, 1, 0, 0, JxValue(), JxValue()));
    EXPECT_TRUE(doc.Recordi(1).isFalse());
}

TEST(JxParse, NamesAndQuotedValues)
{
    jxdate doc = parsed(QString::fromUtf8(
        R"(<项  名 ="say "hi" ok" 对="a" "b"><明细>< 列 ="x"></明细></项><项 a="1"><明细></明细></项>)"));
    ASSERT_FALSE(doc.bug);
    EXPECT_EQ(doc.recordname, txt("名"));  // header names are trimmed
    EXPECT_EQ(doc.value, txt(R"(say "hi" ok)"));
    EXPECT_EQ(doc.Recordi(2), txt(R"(a" "b)"));
    doc.Movetabel(2);
    EXPECT_EQ(doc.recordname, txt(" 列 "));  // detail names are not
    doc.Movetabel(4);
    EXPECT_EQ(doc.records, 0);  // an empty detail section has no rows
}

TEST(JxParse, BadDocumentsSetBugAndKeepWhatWasStored)
{
    for (const char* bad : {
             R"(<项 a="1">)",                                        // no item end
             R"(<项 a></项>)",                                       // no '='
             R"(<项 a="1></项>)",                                    // no closing quote
             R"(<项 a="1"><明细><x="1" y="2"><x="3"></明细></项>)",  // short row
             R"(<项 a="1"><明细><x="1"><x="2" y="3"></明细></项>)",  // long row
         }) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(parsed(QString::fromUtf8(bad)).bug);
    }
    jxdate doc = parsed(QString::fromUtf8(R"(<项 a="1"></项><项 b="2"><明细><x="1" y="2></明细></项>)"));
    ASSERT_TRUE(doc.bug);
    doc.Movetabel(4);
    EXPECT_EQ(at(doc), At(4, 1, 1, 2, txt("x"), txt("1")));
    EXPECT_THROW(doc.Recordi(2), JxError);  // counted, never stored
}

TEST(JxParse, SecondDocumentAppendsTables)
{
    jxdate doc = parsed(QStringLiteral(R"(<项 a="1"></项>)"));
    doc.data = QStringLiteral(R"(<项 b="2"></项>)");
    doc.bug = true;
    doc.Jx();
    EXPECT_FALSE(doc.bug);
    EXPECT_EQ(at(doc), At(1, 1, 1, 1, txt("a"), txt("1")));
    doc.Movetabel(3);
    EXPECT_EQ(at(doc), At(3, 1, 1, 1, txt("b"), txt("2")));
}

TEST(JxParse, CountsStopAt32767)
{
    const auto fields = [](int n) {
        QString s = QStringLiteral("<项");
        for (int i = 1; i <= n; ++i)
            s += QStringLiteral(" f=\"%1\"").arg(i);
        return s + QStringLiteral("></项>");
    };
    const auto rows = [](int n) {
        return QStringLiteral("<项 a=\"1\"><明细>") + QStringLiteral("<r=\"1\">").repeated(n)
            + QStringLiteral("</明细></项>");
    };
    jxdate wide = parsed(fields(32767)), tall = parsed(rows(32767));
    ASSERT_FALSE(wide.bug || tall.bug);
    EXPECT_EQ(wide.Recordi(32767), txt("32767"));
    tall.Movetabel(2);
    EXPECT_FALSE(tall.Findvalue("r", "2"));  // reaches the last record without overflowing
    EXPECT_EQ(tall.record, 32767);
    // One more is a bad document, not an exception.
    for (const QString& tooBig : {fields(32768), rows(32768), QStringLiteral("<项 a=\"1\"></项>").repeated(16384)})
        EXPECT_TRUE(parsed(tooBig).bug);
}

TEST(JxText, FindFindcountFindc)
{
    EXPECT_EQ(jxdate::find(u"abcabc", u"ca"), "3");
    EXPECT_EQ(jxdate::find(u"abc", u"ABC"), "0");  // case-sensitive
    EXPECT_EQ(jxdate::find(u"abc", u""), "1");
    EXPECT_EQ(jxdate::find(u"", u""), "0");
    EXPECT_EQ(jxdate::findcount(u"aaaa", u"aa"), "3");  // overlapping
    EXPECT_EQ(jxdate::findcount(u"abc", u""), "3");
    EXPECT_EQ(jxdate::Findc(u"\"ab\"/>"), "4");
    EXPECT_EQ(jxdate::Findc(u"\"a\"b\">"), "0");     // the third quote leaves the count odd
    EXPECT_EQ(jxdate::Findc(u"\"a\" \"b\">"), "7");  // ` "` after a quote does not close
    EXPECT_EQ(jxdate::Findc(u"\"ab\""), "0");        // the last character is never a candidate
}

class JxCursor : public ::testing::Test {
protected:
    jxdate doc = parsed(kDoc);
};

TEST_F(JxCursor, MovesWithinRangeOnly)
{
    const auto start = state(doc);
    doc.Movetabel(0);
    doc.Movetabel(5);
    doc.Movenextrecord();
    EXPECT_EQ(state(doc), start);
    doc.Movetabel(2);
    const auto first = state(doc);
    for (int step : {0, -1, 2, INT_MAX, INT_MIN})
        doc.Skip(step);
    EXPECT_EQ(state(doc), first);
    doc.Skip(1);
    doc.Moverecord(3);
    doc.Movenextrecord();
    EXPECT_EQ(at(doc), At(2, 2, 2, 3, txt("甲"), txt("d")));
    doc.Movefristrecord();
    EXPECT_EQ(state(doc), first);
    doc.Movetabel(4);
    const auto last = state(doc);
    doc.MoveNextTabel();
    EXPECT_EQ(state(doc), last);
    doc.Movefristtabel();
    EXPECT_EQ(state(doc), start);  // Jx leaves the cursor where Movefristtabel does
}

TEST_F(JxCursor, FieldReads)
{
    doc.Movetabel(2);
    doc.Moverecord(2);
    const auto before = state(doc);
    EXPECT_TRUE(doc.Recordi(0).isFalse());
    EXPECT_TRUE(doc.Recordi(4).isFalse());
    EXPECT_EQ(state(doc), before);
    EXPECT_EQ(doc.Recordvalue("  乙 "), txt("e"));
    EXPECT_TRUE(doc.Recordvalue("无").isEmpty());
    EXPECT_EQ(doc.recordname, txt("丙"));  // left on the last field
    EXPECT_TRUE(doc.Findvalue("乙", "b"));
    EXPECT_EQ(doc.record, 1);
    EXPECT_FALSE(doc.Findvalue("乙", "x"));
    EXPECT_EQ(doc.record, 2);
    EXPECT_FALSE(doc.Findvalue("无", ""));  // a missing field holds no value
}

TEST_F(JxCursor, ErrorsAreThrownAndChangeNothing)
{
    EXPECT_THROW(jxdate().Movefristtabel(), JxError);
    const auto expectRefused = [&](auto&& misplace, auto&& call) {
        jxdate copy = doc;
        copy.Movetabel(2);
        misplace(copy);
        const auto before = state(copy);
        EXPECT_THROW(call(copy), JxError);
        EXPECT_EQ(state(copy), before);
    };
    // 16-bit overflow of the step.
    expectRefused([](jxdate& d) { d.tabel = 32767; }, [](jxdate& d) { d.MoveNextTabel(); });
    expectRefused([](jxdate& d) { d.record = 32767; }, [](jxdate& d) { d.Movenextrecord(); });
    // A cursor pointing past what was stored is refused, not read.
    expectRefused([](jxdate& d) { d.tabels = 99; }, [](jxdate& d) { d.Movetabel(50); });
    expectRefused([](jxdate& d) { d.recordcount = 99; }, [](jxdate& d) { d.Moverecord(3); });
    expectRefused([](jxdate& d) { d.records = 99; }, [](jxdate& d) { d.Recordi(4); });
    expectRefused([](jxdate& d) { d.record = 9; }, [](jxdate& d) { d.Recordvalue("甲"); });
    expectRefused([](jxdate& d) { d.tabel = -3; }, [](jxdate& d) { d.Recordvalue("甲"); });
    expectRefused(
        [](jxdate& d) {
            d.tabel = 4;
            d.recordcount = 2;
        },
        [](jxdate& d) { d.Skip(1); });
}
