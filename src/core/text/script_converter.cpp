#include "core/text/script_converter.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <exception>
#include <list>
#include <map>
#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DartsDict.hpp>
#include <opencc/DictEntry.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>
#include <opencc/Segments.hpp>
#include <opencc/TextDict.hpp>
#include <utility>

namespace {

// UTF-16 units of UTF-8 text: one a character, two for one beyond the BMP
// (a four-byte sequence).
qsizetype Utf16Length(const char* utf8, size_t bytes)
{
    qsizetype units = 0;
    for (size_t i = 0; i < bytes; ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

// The same table behind a double-array index: OpenCC's tables come as
// marisa tries, which are small on disk but made a 50,000-character chapter
// take over 20 ms; the double array takes a few. A table used twice (the
// phrases cut by and converted by) is indexed once.
using IndexedTables = std::map<const opencc::Dict*, opencc::DictPtr>;
opencc::DictPtr Indexed(const opencc::DictPtr& dict, IndexedTables& indexed)
{
    opencc::DictPtr& made = indexed[dict.get()];
    if (made)
        return made;
    if (const auto group = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
        std::list<opencc::DictPtr> members;
        for (const opencc::DictPtr& member : group->GetDicts())
            members.push_back(Indexed(member, indexed));
        made = std::make_shared<opencc::DictGroup>(members);
        return made;
    }
    const opencc::TextDictPtr entries = opencc::TextDict::NewFromDict(*dict);
    entries->GetLexicon()->Sort();  // the double array is built from sorted keys
    made = opencc::DartsDict::NewFromDict(*entries);
    return made;
}

// The bytes of the UTF-8 character that starts with `lead` (one for a
// stray byte).
size_t CharacterBytes(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
}

QString ConfigPath(const QString& folder, ScriptChoice choice)
{
    return QDir(folder).filePath(choice == ScriptChoice::ToSimplified ? QStringLiteral("t2s.json")
                                                                      : QStringLiteral("s2t.json"));
}

QString NoTables(const QString& detail)
{
    return QStringLiteral("找不到可用的繁简转换词典（OpenCC），无法转换：%1").arg(detail);
}

}  // namespace

QString OpenCcConfigFolder()
{
    return QStringLiteral(READER_OPENCC_DATA_DIR);
}

// What OpenCC's converter does, step by step: the text cut into phrases,
// then each phrase converted by the longest words of a table that start
// it. Taking the steps here tells which word became what.
struct ScriptConverter::Impl {
    opencc::SegmentationPtr phrases;
    opencc::DictPtr table;

    void ConvertText(const std::string& utf8, std::string& out) const;
    void ConvertPhrase(const char* phrase, size_t bytes, std::string& out) const;
    // A word's characters one by one; one whose conversion has another
    // length stays as it is.
    void ConvertByCharacter(const std::string& word, std::string& out) const;
};

ScriptConverter::ScriptConverter(ScriptChoice choice, const QString& configFolder)
{
    if (choice == ScriptChoice::None)
        return;
    const QString path = ConfigPath(configFolder, choice);
    try {
        opencc::Config config;
        const opencc::ConverterPtr read = config.NewFromFile(path.toStdString());
        const auto maxMatch = std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(read->GetSegmentation());
        const std::list<opencc::ConversionPtr> steps = read->GetConversionChain()->GetConversions();
        // t2s and s2t are one table behind a cut into phrases; another kind
        // of configuration could not say which word became what.
        if (maxMatch && steps.size() == 1) {
            IndexedTables indexed;
            auto impl = std::make_unique<Impl>();
            impl->phrases = std::make_shared<opencc::MaxMatchSegmentation>(Indexed(maxMatch->GetDict(), indexed));
            impl->table = Indexed(steps.front()->GetDict(), indexed);
            impl_ = std::move(impl);
        } else {
            problem_ = path;
        }
    } catch (const opencc::Exception& e) {
        problem_ = QString::fromStdString(e.what());
    } catch (const std::exception& e) {
        problem_ = QString::fromStdString(e.what());
    } catch (...) {
        problem_ = path;
    }
    if (!impl_)
        problem_ = NoTables(problem_);
}

ScriptConverter::~ScriptConverter() = default;

QString ScriptConverter::Convert(const QString& text) const
{
    if (!impl_ || text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<size_t>(utf8.size()));
    try {
        // OpenCC reads text up to a NUL: the pieces between NULs go one by one.
        qsizetype start = 0;
        while (start <= utf8.size()) {
            qsizetype end = utf8.indexOf('\0', start);
            if (end < 0)
                end = utf8.size();
            if (end > start)
                impl_->ConvertText(std::string(utf8.constData() + start, static_cast<size_t>(end - start)), out);
            if (end < utf8.size())
                out += '\0';
            start = end + 1;
        }
    } catch (...) {
        return text;
    }
    QString converted = QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
    return converted.size() == text.size() ? converted : text;
}

void ScriptConverter::Impl::ConvertText(const std::string& utf8, std::string& out) const
{
    const opencc::SegmentsPtr segments = phrases->Segment(utf8);
    size_t covered = 0;
    for (size_t i = 0; i < segments->Length(); ++i) {
        const char* phrase = segments->At(i);
        const size_t bytes = std::strlen(phrase);
        ConvertPhrase(phrase, bytes, out);
        covered += bytes;
    }
    // What the phrases did not cover, if anything, stays as it was.
    if (covered < utf8.size())
        out.append(utf8, covered);
}

// As OpenCC converts a phrase: the longest word of the table at each place,
// else the character as it is. A word that would change length goes
// character by character, so that what follows keeps its place.
void ScriptConverter::Impl::ConvertPhrase(const char* phrase, size_t bytes, std::string& out) const
{
    for (size_t at = 0; at < bytes;) {
        const opencc::Optional<const opencc::DictEntry*> match = table->MatchPrefix(phrase + at, bytes - at);
        if (match.IsNull()) {
            const size_t length = std::min(CharacterBytes(phrase[at]), bytes - at);
            out.append(phrase + at, length);
            at += length;
            continue;
        }
        const std::string word = match.Get()->Key();
        const std::string converted = match.Get()->GetDefault();
        if (Utf16Length(converted.data(), converted.size()) == Utf16Length(word.data(), word.size()))
            out += converted;
        else
            ConvertByCharacter(word, out);
        at += std::max<size_t>(word.size(), 1);
    }
}

void ScriptConverter::Impl::ConvertByCharacter(const std::string& word, std::string& out) const
{
    for (size_t at = 0; at < word.size();) {
        const size_t length = std::min(CharacterBytes(word[at]), word.size() - at);
        const opencc::Optional<const opencc::DictEntry*> match = table->MatchPrefix(word.data() + at, length);
        const std::string converted = match.IsNull() ? std::string() : match.Get()->GetDefault();
        if (!match.IsNull() && match.Get()->KeyLength() == length
            && Utf16Length(converted.data(), converted.size()) == Utf16Length(word.data() + at, length))
            out += converted;
        else
            out.append(word, at, length);
        at += length;
    }
}

ScriptConverters::ScriptConverters(QString configFolder) : configFolder_(std::move(configFolder))
{}

ScriptConverters::~ScriptConverters() = default;
ScriptConverters::ScriptConverters(ScriptConverters&&) noexcept = default;
ScriptConverters& ScriptConverters::operator=(ScriptConverters&&) noexcept = default;

const ScriptConverter* ScriptConverters::For(ScriptChoice choice)
{
    if (choice == ScriptChoice::None)
        return nullptr;
    std::unique_ptr<ScriptConverter>& made = choice == ScriptChoice::ToSimplified ? toSimplified_ : toTraditional_;
    if (!made)
        made = std::make_unique<ScriptConverter>(choice, configFolder_);
    return made.get();
}

QString ScriptConverters::Convert(ScriptChoice choice, const QString& text)
{
    const ScriptConverter* converter = For(choice);
    return converter ? converter->Convert(text) : text;
}

QString ScriptConverters::Problem(ScriptChoice choice)
{
    const ScriptConverter* converter = For(choice);
    return converter ? converter->Problem() : QString();
}

QString ScriptConverters::Missing() const
{
    for (const ScriptChoice choice : {ScriptChoice::ToSimplified, ScriptChoice::ToTraditional}) {
        const std::unique_ptr<ScriptConverter>& made =
            choice == ScriptChoice::ToSimplified ? toSimplified_ : toTraditional_;
        if (made && !made->Ready())
            return made->Problem();
        if (!made && !QFileInfo(ConfigPath(configFolder_, choice)).isFile())
            return NoTables(ConfigPath(configFolder_, choice));
    }
    return {};
}
