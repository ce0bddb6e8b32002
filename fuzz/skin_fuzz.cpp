// libFuzzer target: a skin file parsed, its sixteen settings saved the way
// the skin manager saves them, and the saved file parsed again. Whatever the
// saver accepts must read back exactly; what it refuses must be a value the
// format cannot hold.

#include "core/skins/skin_editing.h"
#include "core/skins/skin_table.h"
#include "core/text/text_decoder.h"
#include "fuzz_input.h"

#include <cstdio>

namespace {

constexpr const char16_t* kTokens[] = {
    u"[Version1.0]",
    u"\r\n",
    u"\n",
    u"\r",
    u"=",
    u"//",
    u"/",
    u" ",
    u"\t",
    u"MainPicture",
    u"FontName",
    u"FontSize",
    u"FForecolor",
    u"FbackPicture",
    u"\\SImage\\2.jpg",
    u"隶书",
    u"12",
    u"10.5",
    u"255",
    u"-1",
    u"小说",
    u"目录",
    u"\u3000",
    u"\xFEFF",
    u"\xD800",
    u"\xDC00",
    u"a",
    u"http:",
    u"?",
    u"\0",
};

QByteArray SkinBytes(FuzzBytes& input)
{
    switch (input.Next() % 3) {
    case 0: {  // the format's own tokens, saved as GB18030
        QString text;
        while (!input.Empty())
            text += QStringView(kTokens[input.Next() % std::size(kTokens)]);
        return EncodeGb18030(text);
    }
    case 1: {  // the same tokens behind a UTF-16 byte order mark
        QString text(QChar(0xFEFF));
        while (!input.Empty())
            text += QStringView(kTokens[input.Next() % std::size(kTokens)]);
        return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    default:  // raw bytes
        return QByteArray(reinterpret_cast<const char*>(input.Rest()), qsizetype(input.RestSize()));
    }
}

SkinFieldTexts Fields(const SkinTable& skins, int index)
{
    SkinFieldTexts texts;
    for (int i = 0; i < kSkinFieldCount; ++i)
        texts[i] = GetSkinValue(skins, 0, kSkinFields[i].key.toString(), index);
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzBytes input(bytes, size);
    const QByteArray file = SkinBytes(input);
    const QString path = WriteScratchFile(QStringLiteral("read/Skin/皮.ini"), file.constData(), file.size());

    SkinTable skins;
    if (LoadSkinFile(skins, path, QStringLiteral("皮.ini")) != SkinFileResult::Added)
        return 0;
    const SkinFieldTexts texts = Fields(skins, 1);

    const QString program = QDir(ScratchFolder().path()).filePath(QStringLiteral("saved"));
    QDir().mkpath(program + QStringLiteral("/Skin"));
    QString failure;
    const std::optional<SkinEntry> saved = WriteSkinFile(program, QStringLiteral("皮"), texts, &failure);
    if (!saved) {
        // Only a value the file cannot hold may be refused, and it is named.
        FUZZ_CHECK(UnholdableSkinField(texts) >= 0);
        FUZZ_CHECK(!failure.isEmpty());
        return 0;
    }
    SkinTable reread;
    reread.Append(*saved);
    FUZZ_CHECK(Fields(reread, 1) == texts);
    FUZZ_CHECK(LoadSkinFile(reread, saved->FilePath, QStringLiteral("皮.ini")) == SkinFileResult::Added);
    FUZZ_CHECK(Fields(reread, 2) == texts);
    FUZZ_CHECK(reread[2].Settings.size() == std::size_t(kSkinFieldCount) + 1);
    return 0;
}
