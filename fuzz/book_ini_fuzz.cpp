// libFuzzer target: book.ini written for a store of books and read back.
// Every book the file can hold must come back from its line with the same
// chapter and skin name, and the file must hold exactly the version line
// and one line per such book. Also the chapter number parser against
// std::from_chars.

#include "core/books/book_settings.h"
#include "core/text/chapter_heading.h"
#include "core/text/line_reader.h"
#include "core/text/text_decoder.h"
#include "fuzz_input.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace {

constexpr const char16_t* kPathTokens[] = {
    u"/",  u"小说",         u"目录",   u".txt", u",", u"Name=", u",Xcolor=", u",id=",         u"a", u" ", u"\r",
    u"\n", u"\xD83D\xDE00", u"\xD800", u"书",   u"=", u"\t",    u"\u3000",   u"[Version1.0]", u"-", u"1",
};
constexpr const char16_t* kSkinTokens[] = {u"言情", u"水墨", u",", u"=", u" ", u"a", u"\r", u"\n", u"小说"};
constexpr const char16_t* kNumberTokens[] = {u"0",          u"7",          u"9", u"-",      u"+", u" ",
                                             u"2147483647", u"2147483648", u"x", u"\u3000", u"1", u"00"};

// What from_chars makes of the same text: outer spaces and one leading "+"
// allowed, nothing else around the digits.
std::optional<std::int32_t> Expected(const QString& text)
{
    const std::string plain = TrimSpaces(text).toString().toStdString();
    std::string digits = plain;
    if (!digits.empty() && digits[0] == '+')
        digits.erase(0, 1);
    if (digits.empty() || digits[0] == '+' || (digits[0] == '-' && plain[0] == '+'))
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzBytes input(bytes, size);

    const QString number = input.Text(kNumberTokens, 4);
    FUZZ_CHECK(ParseInt32(number) == Expected(number));

    ReaderState state;
    const int skins = input.Next() % 4;
    for (int i = 0; i < skins; ++i) {
        SkinEntry skin;
        skin.Name = input.Text(kSkinTokens, 3);
        state.Skins.Append(skin);
    }
    const int books = 1 + input.Next() % 5;
    for (int i = 0; i < books && !input.Empty(); ++i) {
        const int slot = state.Books.Add(input.Text(kPathTokens, 6), QStringLiteral("书.txt"));
        state.Books[slot].SkinIndex = input.Next() % 6;
        state.Books[slot].ChapterIndex = input.NextInt32();
    }
    const qsizetype caret = input.Next();

    const QString text = BookIniText(state, caret);
    const QByteArray written = EncodeGb18030(text);
    const QString ini = WriteScratchFile(QStringLiteral("book.ini"), written.constData(), written.size());
    const std::optional<QStringList> lines = ReadTextLines(ini, EncodingGuess::Settings);
    FUZZ_CHECK(lines.has_value());

    int remembered = 0;
    for (int slot = 1; slot <= state.Books.Count(); ++slot) {
        const Book& book = state.Books[slot];
        if (!CanBeRemembered(book.Path))
            continue;
        ++remembered;
        QString skinName = state.Skins.IsSkin(book.SkinIndex) ? state.Skins[book.SkinIndex].Name : QString();
        if (!CanBeRemembered(skinName))
            skinName.clear();  // the book line cannot name such a skin
        // Readers split at every ",", so a skin name with one cannot come
        // back; nor can a book whose line an earlier line shadows (it begins
        // with this book's "Name=<path>,").
        const QString prefix = QStringLiteral("Name=") + book.Path + u',';
        bool shadowed = false;
        for (int line = 1; line < remembered && line < lines->size(); ++line)
            shadowed = shadowed || (*lines)[line].startsWith(prefix);
        if (skinName.contains(u',') || shadowed || !book.Path.isValidUtf16())
            continue;
        RememberedBook found;
        FUZZ_CHECK(FindRememberedBook(*lines, book.Path, found) == RestoreLookup::Found);
        FUZZ_CHECK(found.chapterIndex == book.ChapterIndex);
        FUZZ_CHECK(found.skinName == skinName);
    }
    FUZZ_CHECK(lines->size() == 1 + remembered);
    FUZZ_CHECK(lines->first() == QStringView(kBookIniVersion));
    return 0;
}
