// libFuzzer target: IsChapterHeading against a plain step-by-step version
// of the rules kept here, which trades every shortcut of the real one
// (string views, early length gate in the loader's style, shared residue
// cuts) for the most literal reading. Both must give the same answer and
// leave the same cleaned line; any difference aborts.
//
// The number and date grammars are ours, not the rules', so both versions
// share IsWholeNumber and IsDateOrTime.

#include "core/text/chapter_heading.h"
#include "core/text/number_forms.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

const QString kNumerals = QStringLiteral("一二三四五六七八九十百千");
const QString kResidue = QStringLiteral("一廿二三卅四五六七八九十百千第章节部回卷集()（）1234567890");

QString TrimmedOfSpaces(const QString& text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

bool AllIn(const QString& text, const QString& allowed)
{
    for (QChar c : text) {
        if (!allowed.contains(c))
            return false;
    }
    return true;
}

// Positions count from 1; 0 means "not there".
qsizetype Position(const QString& text, QChar c)
{
    return text.indexOf(c) + 1;
}

QString Left(const QString& text, qsizetype count)
{
    return count <= 0 ? QString() : text.left(count);
}

bool ReferenceHeading(QString& x)
{
    if (TrimmedOfSpaces(x).size() >= 30)  // 1. length gate
        return false;
    QString l = x;  // 2. clean
    l.remove(QChar(u'〓'));
    l = TrimmedOfSpaces(l);
    x = l;
    if (l.isEmpty())  // 3.
        return false;
    if (IsWholeNumber(l))  // 4.
        return true;
    if (l[0] == u'序')  // 5.
        return true;
    QString w = l;  // 6.
    w.remove(QChar(u' '));
    for (const QString& named : {QStringLiteral("序章"), QStringLiteral("设定"), QStringLiteral("外传"),
                                 QStringLiteral("大结局"), QStringLiteral("尾声")}) {
        if (w.startsWith(named))  // 7.
            return true;
    }
    if (w.size() < 10 && AllIn(w, kNumerals))  // 8.
        return true;
    QString r = l.contains(u' ') ? Left(l, Position(l, u' ') - 1) : w;  // 9.
    if (IsDateOrTime(r))                                                // 10.
        return false;
    if (l.contains(u'第'))  // 11.
        r = l.mid(Position(l, u'第'));
    for (QChar cut : {QChar(u':'), QChar(u'：'), QChar(u' '), QChar(u'\u3000')}) {  // 12.
        if (r.contains(cut))
            r = Left(r, Position(r, cut) - 1);
    }
    if (r.size() >= 5) {  // 13.
        if (r.contains(u'回'))
            r = Left(r, Position(r, u'回') - 1);
        for (QChar marker : {QChar(u'部'), QChar(u'章'), QChar(u'卷'), QChar(u'节')}) {
            if (l.contains(marker))
                r = Left(r, Position(l, marker) - 1);
        }
    }
    for (QChar open : {QChar(u'（'), QChar(u'(')}) {  // 14.1, 14.2
        if (r.contains(open)) {
            const qsizetype keep = l.size() - Position(r, open);
            r = keep >= r.size() ? r : (keep <= 0 ? QString() : r.right(keep));
        }
    }
    for (QChar close : {QChar(u')'), QChar(u'）')}) {  // 14.3, 14.4
        if (r.contains(close))
            r = Left(r, Position(r, close) - 1);
    }
    if (r.size() >= 7 || r.isEmpty())  // 15., 16.
        return false;
    return AllIn(r, kResidue);  // 17.
}

// Characters the rules look at, so that most inputs reach the deep steps.
constexpr const char16_t* kTokens[] = {
    u"第",     u"章",   u"节", u"部", u"回", u"卷", u"集", u"序",     u"序章", u"设定", u"外传",
    u"大结局", u"尾声", u"一", u"二", u"十", u"百", u"千", u"廿",     u"卅",   u"零",   u"(",
    u")",      u"（",   u"）", u"〓", u":",  u"：", u" ",  u"\u3000", u"1",    u"2",    u"0",
    u",",      u".",    u"-",  u"/",  u"e",  u"+",  u"风", u"云",     u"a",    u"\t",
};

QString Line(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return {};
    QString line;
    switch (bytes[0] % 3) {
    case 0:  // the format's own tokens
        for (size_t i = 1; i < size; ++i)
            line += QStringView(kTokens[bytes[i] % std::size(kTokens)]);
        break;
    case 1:  // UTF-8 text
        line = QString::fromUtf8(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
        break;
    default:  // raw UTF-16 units, unpaired surrogates included
        for (size_t i = 1; i + 1 < size; i += 2)
            line += QChar(char16_t(bytes[i] | (bytes[i + 1] << 8)));
        break;
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QString line = Line(bytes, size);
    QString real = line, reference = line;
    const bool isHeading = IsChapterHeading(real);
    const bool expected = ReferenceHeading(reference);
    if (isHeading != expected || real != reference)
        std::abort();
    return 0;
}
