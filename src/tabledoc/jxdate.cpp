#include "tabledoc/jxdate.h"

#include <limits>

namespace {

constexpr QStringView kItemEnd = u"</项>";
constexpr QStringView kDetailOpen = u"<明细>";
constexpr QStringView kDetailClose = u"</明细>";
constexpr QStringView kItemOpen = u"<项 ";

// Inside Jx a JxError is a parse failure and ends up in `bug`; elsewhere it
// reaches the caller.
[[noreturn]] void fail(const char* why)
{
    throw JxError(why);
}

// The counts are 16-bit like the public members they are copied into.
qint16 next16(qint16 n)
{
    if (n == std::numeric_limits<qint16>::max())
        fail("16-bit count overflows past 32767");
    return qint16(n + 1);
}

// Only the space character counts, not other whitespace.
QStringView trimSpaces(QStringView s)
{
    while (s.startsWith(u' '))
        s = s.mid(1);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

bool atRowEnd(QStringView rest)
{
    return rest.isEmpty() || rest == u">" || rest == u"/>";
}

// 1-based position of the first match, 0 for none. An empty needle matches
// at 1 of any non-empty text.
qsizetype firstPosition(QStringView string1, QStringView string2)
{
    return string1.isEmpty() ? 0 : string1.indexOf(string2) + 1;
}

// Every start position counts, so overlapping matches count separately.
qsizetype countPositions(QStringView string1, QStringView string2)
{
    if (string2.isEmpty())
        return string1.size();
    qsizetype n = 0;
    for (qsizetype at = string1.indexOf(string2); at >= 0; at = string1.indexOf(string2, at + 1))
        ++n;
    return n;
}

// 1-based position of the quote closing the quoted value at the front of
// `s`, 0 for none. A quote closes only when it pairs up the quotes seen so
// far and a separator (space, ">" or "/>") follows that is not itself
// followed by a quote, so values may hold quotes that break none of this.
// The last character is never a candidate: a separator must follow.
qsizetype closingQuote(QStringView s)
{
    qsizetype quotes = 0;
    for (qsizetype i = 0; i + 1 < s.size(); ++i) {
        if (s[i] != u'"' || ++quotes % 2 != 0)
            continue;
        const QStringView after = s.mid(i + 1);
        const bool separator = after.startsWith(u' ') || after.startsWith(u'>') || after.startsWith(u"/>");
        if (separator && !after.mid(1).startsWith(u'"'))
            return i + 1;
    }
    return 0;
}

// Cuts "name=" off the front of `rest` and returns the name.
QStringView takeName(QStringView& rest)
{
    const qsizetype eq = rest.indexOf(u'=');
    if (eq < 0)
        fail("attribute without '='");
    const QStringView name = rest.left(eq);
    rest = rest.mid(eq + 1);
    return name;
}

// Cuts the quoted value and the separator after it off the front of `rest`.
QString takeValue(QStringView& rest)
{
    const qsizetype q = closingQuote(rest);
    if (q == 0)
        fail("value without a closing quote");
    QString value = rest.mid(1, q - 2).toString();
    rest = rest.mid(q + 1);
    return value;
}

}  // namespace

JxValue JxValue::makeFalse()
{
    JxValue v;
    v.m_kind = Kind::False;
    return v;
}

void jxdate::Jx()
{
    if (data.isFalse()) {
        bug = true;
        return;
    }
    const QString text = data.text();
    if (text.isEmpty())
        return;

    const qsizetype items = countPositions(text, kItemEnd);
    qsizetype consumed = 0;
    try {
        if (items == 0)
            fail("no item in the document");
        for (qsizetype i = 0; i < items; ++i) {
            const qsizetype at = text.indexOf(kItemEnd, consumed);
            if (at < 0)
                fail("item end vanished");
            const qsizetype end = at + kItemEnd.size();
            const QStringView item = QStringView(text).mid(consumed, end - consumed);
            consumed = end;
            parseItem(item);
        }
        enterTable(1);
        bug = false;
    } catch (const JxError&) {
        bug = true;
    }
    data = JxValue(text.mid(consumed));
}

void jxdate::parseItem(QStringView item)
{
    QStringView header = item.chopped(kItemEnd.size());
    QStringView detail;
    const qsizetype open = item.indexOf(kDetailOpen);
    const qsizetype close = item.indexOf(kDetailClose);
    if (open >= 0 && close >= 0) {
        if (close < open + kDetailOpen.size())
            fail("detail section closes before it opens");
        header = item.left(open);
        detail = item.mid(open + kDetailOpen.size(), close - open - kDetailOpen.size());
    }

    // The header table: one record; names are trimmed.
    const qsizetype h = addTable();
    tabelrecords[h] = 1;
    QStringView rest = header.mid(kItemOpen.size());
    do {
        tabelfields[h] = next16(tabelfields[h]);
        fieldname.append(trimSpaces(takeName(rest)).toString());
        fieldvalue.append(takeValue(rest));
    } while (!atRowEnd(rest));

    // The detail table: names come untrimmed from the first row; later rows
    // fill the same fields by position.
    const qsizetype d = addTable();
    if (detail.isEmpty())
        return;
    // Every row must fill every field, or the value positions of this and
    // all later tables would shift.
    qsizetype stored = 0;
    const auto requireWholeRows = [&] {
        if (stored != qsizetype(tabelfields[d]) * tabelrecords[d])
            fail("detail row with a different number of fields than the first");
    };
    rest = detail.mid(1);  // the first row's "<"
    do {
        const bool firstRow = tabelrecords[d] <= 1;
        if (firstRow) {
            tabelfields[d] = next16(tabelfields[d]);
            tabelrecords[d] = 1;
        }
        const QStringView name = takeName(rest);
        if (firstRow)
            fieldname.append(name.toString());
        fieldvalue.append(takeValue(rest));
        ++stored;
        if (rest.startsWith(u'<')) {
            requireWholeRows();
            tabelrecords[d] = next16(tabelrecords[d]);
        }
    } while (!atRowEnd(rest));
    requireWholeRows();
}

qsizetype jxdate::addTable()
{
    if (tabelfields.size() >= std::numeric_limits<qint16>::max())
        fail("more than 32767 tables");
    tabelfields.append(0);
    tabelrecords.append(0);
    tabels = qint16(tabelfields.size());
    return tabelfields.size() - 1;
}

// Every read of the lists goes through here, so a cursor the caller has
// written nonsense into raises JxError instead of reading another table or
// past the end.
jxdate::Field jxdate::fieldAt(qint32 table, qint32 row, qint32 field) const
{
    if (table < 1 || table > tabelfields.size())
        fail("no such table");
    const qsizetype fields = tabelfields[table - 1];
    if (field < 1 || field > fields || row < 1 || row > tabelrecords[table - 1])
        fail("no such field or record in this table");

    qsizetype namePos = field;
    qsizetype valuePos = fields * (row - 1) + field;
    for (qsizetype t = 0; t < table - 1; ++t) {
        namePos += tabelfields[t];
        valuePos += qsizetype(tabelfields[t]) * tabelrecords[t];
    }
    // Short only after a failed parse left this table half stored.
    if (namePos > fieldname.size() || valuePos > fieldvalue.size())
        fail("field was never stored");
    return {fieldname[namePos - 1], fieldvalue[valuePos - 1]};
}

void jxdate::enterTable(qint32 table)
{
    if (table < 1 || table > tabelfields.size())
        fail("no such table");
    const qsizetype t = table - 1;
    JxValue name;
    JxValue firstValue;
    if (tabelfields[t] > 0) {  // a detail table may have no fields at all
        const Field first = fieldAt(table, 1, 1);
        name = first.name;
        firstValue = first.value;
    }
    tabel = qint16(table);
    record = 1;
    recordcount = tabelrecords[t];
    records = tabelfields[t];
    recordname = name;
    value = firstValue;
}

void jxdate::enterRecord(qint32 row)
{
    const Field first = fieldAt(tabel, row, 1);
    record = qint16(row);
    recordname = first.name;
    value = first.value;
}

void jxdate::Movefristtabel()
{
    enterTable(1);  // throws when there is no table at all
}

void jxdate::MoveNextTabel()
{
    const qint16 target = next16(tabel);
    if (target >= 1 && target <= tabels)
        enterTable(target);
}

void jxdate::Movetabel(qint32 tabeli)
{
    if (tabeli >= 1 && tabeli <= tabels)
        enterTable(tabeli);
}

void jxdate::Movefristrecord()
{
    if (tabel >= 1 && tabel <= tabels)
        enterTable(tabel);
}

void jxdate::Movenextrecord()
{
    Moverecord(next16(record));
}

void jxdate::Moverecord(qint32 recordsi)
{
    if (recordsi >= 1 && recordsi <= recordcount)
        enterRecord(recordsi);
}

void jxdate::Skip(qint32 Recordi)
{
    // Wide sum: record + step must not overflow before the range test.
    const qint64 target = qint64(record) + Recordi;
    if (Recordi != 0 && target >= 1 && target <= recordcount)
        enterRecord(qint32(target));
}

JxValue jxdate::Recordi(qint32 nubm)
{
    if (nubm < 1 || nubm > records)
        return JxValue::makeFalse();
    const Field f = fieldAt(tabel, record, nubm);
    recordname = f.name;
    value = f.value;
    return value;
}

JxValue jxdate::Recordvalue(const QString& nubm)
{
    const QStringView wanted = trimSpaces(nubm);
    if (tabel < 1 || tabel > tabelfields.size())
        fail("no such table");
    const qint16 fields = tabelfields[tabel - 1];
    // Read first, change the cursor after: a failed read changes nothing.
    Field last;
    bool found = false;
    for (qint32 f = 1; f <= fields && !found; ++f) {
        last = fieldAt(tabel, record, f);
        found = last.name == wanted;
    }
    records = fields;
    if (fields > 0) {
        recordname = last.name;
        value = last.value;
    }
    return found ? value : JxValue();
}

bool jxdate::Findvalue(const QString& zd, const QString& values)
{
    Movefristrecord();
    const qint32 count = recordcount;
    for (qint32 r = 1; r <= count; ++r) {
        const JxValue v = Recordvalue(zd);
        if (v.isText() && v.text() == values)
            return true;
        // Stepping past the last record would only overflow at 32767.
        if (r < count)
            Movenextrecord();
    }
    return false;
}

QString jxdate::find(QStringView string1, QStringView string2)
{
    return QString::number(firstPosition(string1, string2));
}

QString jxdate::findcount(QStringView string1, QStringView string2)
{
    return QString::number(countPositions(string1, string2));
}

QString jxdate::Findc(QStringView string1)
{
    return QString::number(closingQuote(string1));
}
