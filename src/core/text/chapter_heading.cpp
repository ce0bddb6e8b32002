#include "core/text/chapter_heading.h"

#include "core/text/number_forms.h"

#include <algorithm>
#include <bitset>

namespace {

constexpr QChar kSpace = u' ';
constexpr QChar kIdeographicSpace = u'\u3000';
constexpr QChar kRemoved = u'\u3013';  // 〓, a filler some sites put into headings

// Chinese numerals a bare-numeral heading may consist of.
constexpr QStringView kNumerals = u"一二三四五六七八九十百千";
// What the residue of a heading may consist of: numerals (with 廿 and 卅),
// the section markers, parentheses and ASCII digits.
constexpr QStringView kResidueCharacters = u"一廿二三卅四五六七八九十百千第章节部回卷集()（）1234567890";
constexpr QStringView kNamedSections[] = {u"序章", u"设定", u"外传", u"大结局", u"尾声"};

// Headings are short: a plain loop finds a character in them faster than
// the library's search, which is built for long texts.
qsizetype IndexOf(QStringView text, QChar c)
{
    const auto* found = std::find(text.begin(), text.end(), c);
    return found == text.end() ? -1 : found - text.begin();
}

bool Holds(QStringView text, QChar c)
{
    return IndexOf(text, c) >= 0;
}

bool StartsWith(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

bool ConsistsOf(QStringView text, QStringView allowed)
{
    return std::all_of(text.begin(), text.end(), [&](QChar c) { return Holds(allowed, c); });
}

// The first `count` characters (all when there are fewer).
QStringView FirstCharacters(QStringView text, qsizetype count)
{
    return text.first(std::clamp<qsizetype>(count, 0, text.size()));
}

// Cuts `residue` before its first `marker`, when it holds one.
void CutBefore(QStringView& residue, QChar marker)
{
    const qsizetype at = IndexOf(residue, marker);
    if (at >= 0)
        residue = residue.first(at);
}

// The residue of a line: what must look like "一章", "12", "卷三" and the
// like for the line to be a heading. Positions of the section markers are
// taken in the whole line although the cuts apply to the residue: after
// the part up to "第" is dropped, that keeps the marker itself in the residue.
QStringView Residue(QStringView line, QStringView residue)
{
    const qsizetype firstOrdinal = IndexOf(line, u'第');
    if (firstOrdinal >= 0)
        residue = line.sliced(firstOrdinal + 1);

    for (QChar marker : {QChar(u':'), QChar(u'：'), kSpace, kIdeographicSpace})
        CutBefore(residue, marker);

    if (residue.size() >= 5) {
        CutBefore(residue, u'回');
        for (QChar marker : {QChar(u'部'), QChar(u'章'), QChar(u'卷'), QChar(u'节')}) {
            const qsizetype inLine = IndexOf(line, marker);
            if (inLine >= 0)
                residue = FirstCharacters(residue, inLine);
        }
    }

    // An opening parenthesis keeps what follows it, counted with the
    // length of the whole line; a closing one keeps what precedes it.
    for (QChar open : {QChar(u'（'), QChar(u'(')}) {
        const qsizetype at = IndexOf(residue, open);
        if (at >= 0) {
            const qsizetype keep = line.size() - (at + 1);
            residue = keep >= residue.size() ? residue : residue.last(std::max<qsizetype>(keep, 0));
        }
    }
    CutBefore(residue, u')');
    CutBefore(residue, u'）');
    return residue;
}

}  // namespace

bool NeedsHeadingTest(QStringView line)
{
    // Every character some test of IsChapterHeading needs: the digits of a
    // whole number, 序, the first characters of the named sections, the
    // numerals and the residue's characters; and the filler cleaning removes.
    static const auto kMarkers = [] {
        std::bitset<0x10000> markers;
        for (QStringView set : {kNumerals, kResidueCharacters, QStringView(u"序〓")}) {
            for (QChar c : set)
                markers.set(c.unicode());
        }
        for (QStringView named : kNamedSections)
            markers.set(named.front().unicode());
        return markers;
    }();
    if (!line.isEmpty() && (line.front() == kSpace || line.back() == kSpace))
        return true;
    return std::any_of(line.begin(), line.end(), [](QChar c) { return kMarkers.test(c.unicode()); });
}

QStringView TrimSpaces(QStringView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line[begin] == kSpace)
        ++begin;
    while (end > begin && line[end - 1] == kSpace)
        --end;
    return line.sliced(begin, end - begin);
}

qsizetype LengthWithoutOuterSpaces(QStringView line)
{
    return TrimSpaces(line).size();
}

bool IsChapterHeading(QString& line)
{
    if (LengthWithoutOuterSpaces(line) >= kHeadingLengthLimit)
        return false;

    // Most lines hold no filler and no outer spaces: they are left as they
    // are, without a copy, as is the space-free form below.
    if (Holds(line, kRemoved))
        line.remove(kRemoved);
    if (const QStringView trimmed = TrimSpaces(line); trimmed.size() != line.size())
        line = trimmed.toString();
    const QStringView cleaned = line;
    if (cleaned.isEmpty())
        return false;

    if (IsWholeNumber(cleaned))
        return true;
    if (cleaned.front() == u'序')
        return true;

    QString spacesRemoved;
    QStringView withoutSpaces = cleaned;
    if (Holds(cleaned, kSpace)) {
        spacesRemoved = line;
        spacesRemoved.remove(kSpace);
        withoutSpaces = spacesRemoved;
    }
    for (QStringView named : kNamedSections) {
        if (StartsWith(withoutSpaces, named))
            return true;
    }
    if (withoutSpaces.size() < 10 && ConsistsOf(withoutSpaces, kNumerals))
        return true;

    const qsizetype firstSpace = IndexOf(cleaned, kSpace);
    const QStringView firstWord = firstSpace >= 0 ? cleaned.first(firstSpace) : QStringView(withoutSpaces);
    if (IsDateOrTime(firstWord))
        return false;

    const QStringView residue = Residue(cleaned, firstWord);
    if (residue.size() >= 7 || residue.isEmpty())
        return false;
    return ConsistsOf(residue, kResidueCharacters);
}
