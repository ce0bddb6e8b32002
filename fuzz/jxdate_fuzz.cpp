// libFuzzer target: Jx on arbitrary input, then a walk over every table,
// record and field, then reads through a cursor scrambled from the input.
//
// The first byte picks how the rest becomes a document: as UTF-8 text, or
// byte by byte from the format's own tokens, which reaches deep parses far
// sooner than random text does.

#include "tabledoc/jxdate.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace {

constexpr const char16_t* kTokens[] = {
    u"<项 ", u"</项>", u"<明细>", u"</明细>", u"<",   u">",   u"/>",   u"=",       u"\"",
    u" ",    u"a",     u"名",     u"=\"",     u"\" ", u"\">", u"\"/>", u"x=\"1\"", u"\"\"",
};

QString document(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return {};
    if (bytes[0] & 1)
        return QString::fromUtf8(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
    QString text;
    for (size_t i = 1; i < size; ++i)
        text += QStringView(kTokens[bytes[i] % std::size(kTokens)]);
    return text;
}

// After a clean parse every field the counts announce must be readable, so
// a JxError escaping from here is only acceptable when `bug` is set.
void walk(jxdate& doc)
{
    for (qint32 t = 1; t <= doc.tabels; ++t) {
        doc.Movetabel(t);
        if (doc.tabel != t || doc.record != 1)
            std::abort();
        for (qint32 r = 1; r <= doc.recordcount; ++r) {
            doc.Moverecord(r);
            for (qint32 f = 1; f <= doc.records; ++f) {
                if (!doc.Recordi(f).isText())
                    std::abort();
                doc.Recordvalue(doc.recordname.text());
            }
            doc.Skip(-1);
            doc.Skip(2);
        }
        if (doc.records > 0)
            doc.Findvalue(doc.recordname.text(), doc.value.text());
        if (t < doc.tabels) {
            doc.MoveNextTabel();
            if (doc.tabel != t + 1)
                std::abort();
        }
    }
}

template <typename Call>
void tolerate(Call call)
{
    try {
        call();
    } catch (const JxError&) {
    }
}

// A caller may write anything into the public counts; that must raise
// JxError or be refused, never read outside the lists.
void scrambled(jxdate& doc, const uint8_t* bytes, size_t size)
{
    if (size < 5)
        return;
    const auto small = [&](size_t back) { return qint16(int(bytes[size - back]) - 128); };
    doc.tabel = small(1);
    doc.record = small(2);
    doc.recordcount = small(3);
    doc.records = small(4);
    doc.tabels = small(5);
    tolerate([&] { doc.Recordi(doc.records); });
    tolerate([&] { doc.Recordvalue(QStringLiteral("a")); });
    tolerate([&] { doc.Moverecord(doc.recordcount); });
    tolerate([&] { doc.Skip(doc.recordcount - doc.record); });
    tolerate([&] { doc.Movenextrecord(); });
    tolerate([&] { doc.Movefristrecord(); });
    tolerate([&] { doc.Movetabel(doc.tabels); });
    tolerate([&] { doc.MoveNextTabel(); });
    tolerate([&] { doc.Findvalue(QStringLiteral("a"), QStringLiteral("1")); });
    tolerate([&] { doc.Movefristtabel(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QString text = document(bytes, size);
    jxdate::find(text, text.right(2));
    jxdate::findcount(text, text.left(1));
    jxdate::Findc(text);

    jxdate doc;
    doc.data = text;
    doc.Jx();
    if (!doc.bug && doc.data.text().contains(u"</项>"))
        std::abort();  // a clean parse consumes every item
    try {
        walk(doc);
    } catch (const JxError&) {
        if (!doc.bug)
            std::abort();
    }
    scrambled(doc, bytes, size);
    return 0;
}
