#pragma once

// jxdate: reader for the tagged table document
//
//   <项 name="value" other="value"><明细><col="a" col2="b"><col="c" col2="d"/></明细></项>
//
// Every item becomes two tables: a one-record table of its header attributes
// and a table of its detail rows. The caller sets `data`, calls Jx() once,
// checks `bug`, then walks tables and records with the cursor and reads
// fields. Tables, records, fields and text positions are 1-based.
//
// Errors: Jx() never throws for a bad document; it sets `bug` instead (a
// document too large for the 16-bit counts is one of those). JxError is
// thrown by
//   - Movefristtabel() when no table exists;
//   - MoveNextTabel() / Movenextrecord() when `tabel` / `record` is 32767,
//     because the 16-bit step overflows;
//   - any move or read whose cursor (the public, writable `tabel`, `record`,
//     `tabels`, `recordcount`, `records`) names a table, record or field
//     that was never stored.
// A move, Recordi or Recordvalue that throws leaves the object as it was;
// Findvalue may leave the cursor on the record it had reached.

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <stdexcept>

class JxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The "any value" of the parser: nothing, a text, or the false that Recordi
// returns for a field number out of range. Only a text equals a text; an
// empty value is not the empty text.
class JxValue {
public:
    enum class Kind : quint8 { Empty, Text, False };

    JxValue() = default;
    JxValue(const QString& text) : m_kind(Kind::Text), m_text(text) {}
    static JxValue makeFalse();

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isText() const { return m_kind == Kind::Text; }
    bool isFalse() const { return m_kind == Kind::False; }
    // The text held, or an empty string for the other kinds.
    const QString& text() const { return m_text; }

    friend bool operator==(const JxValue&, const JxValue&) = default;

private:
    Kind m_kind = Kind::Empty;
    QString m_text;
};

class jxdate {
public:
    qint16 recordcount = 0;  // records of the current table
    qint16 tabel = 0;        // current table
    qint16 record = 0;       // current record of the current table
    JxValue value{QString()};
    JxValue recordname;       // name of the field `value` came from
    bool bug = false;         // true when Jx met a document it cannot parse
    JxValue data{QString()};  // the document; Jx consumes the items it reads
    qint16 tabels = 0;        // number of tables
    qint16 records = 0;       // fields of the current table

    // Parses `data`. Empty text (or an empty value) does nothing; a false
    // value or a bad document sets `bug`, keeping what was stored before the
    // fault. Tables are appended to those already held.
    void Jx();

    // Moves put `recordname`/`value` on field 1 of the new record (both empty
    // when the table has no fields). An out-of-range target changes nothing.
    void Movefristtabel();
    void MoveNextTabel();
    void Movetabel(qint32 tabeli);
    void Movefristrecord();
    void Movenextrecord();
    void Moverecord(qint32 recordsi);
    void Skip(qint32 Recordi);

    // Field `nubm` of the current record, also left in `recordname`/`value`;
    // false, with nothing changed, when 1 <= nubm <= records does not hold.
    JxValue Recordi(qint32 nubm);
    // The field whose name equals `nubm` with spaces trimmed; empty when none.
    JxValue Recordvalue(const QString& nubm);
    // Leaves the cursor on the first record whose field `zd` holds `values`.
    bool Findvalue(const QString& zd, const QString& values);

    // Positions and counts come back as decimal text; "0" means none.
    static QString find(QStringView string1, QStringView string2);
    static QString findcount(QStringView string1, QStringView string2);
    static QString Findc(QStringView string1);

private:
    struct Field {
        QString name;
        QString value;
    };

    void parseItem(QStringView item);
    qsizetype addTable();
    Field fieldAt(qint32 table, qint32 row, qint32 field) const;
    void enterTable(qint32 table);
    void enterRecord(qint32 row);

    QList<qint16> tabelfields;   // per table: number of fields
    QList<qint16> tabelrecords;  // per table: number of records
    QList<QString> fieldname;    // names, table after table
    QList<QString> fieldvalue;   // values, table after table, record by record
};
