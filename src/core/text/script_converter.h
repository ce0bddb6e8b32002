#pragma once

#include <QString>

#include <memory>

// 繁简转换: the script a book is shown in.
enum class ScriptChoice {
    None,           // 不转换: as the file has it
    ToSimplified,   // 繁→简, OpenCC's t2s.json
    ToTraditional,  // 简→繁, OpenCC's s2t.json
};

// Where OpenCC's configurations and tables were installed.
QString OpenCcConfigFolder();

// Converts text between traditional and simplified characters with OpenCC,
// phrase by phrase, and keeps every character where it was: the result is
// as long as the text, and its character i stands for character i of the
// text. The reader keeps places as offsets into chapter texts (book.pos,
// book.ini's caret, the selections of find), and they must mean the same
// in either script.
//
// OpenCC turns nearly every phrase into one of the same length. A phrase it
// would lengthen or shorten (二噁英 becomes 二𫫇英: a character beyond the
// BMP takes two UTF-16 units) is converted character by character instead,
// and a character whose conversion has another length stays as it is.
class ScriptConverter {
public:
    // Reads `choice`'s configuration from `configFolder`. Nothing throws:
    // a converter that cannot be made is not Ready and says why.
    explicit ScriptConverter(ScriptChoice choice, const QString& configFolder = OpenCcConfigFolder());
    ~ScriptConverter();
    ScriptConverter(const ScriptConverter&) = delete;
    ScriptConverter& operator=(const ScriptConverter&) = delete;

    bool Ready() const { return impl_ != nullptr; }
    // Why it is not ready, for the user; empty when it is.
    const QString& Problem() const { return problem_; }

    // `text` in the other script; `text` itself when the converter is not
    // ready or the choice is None.
    QString Convert(const QString& text) const;

private:
    struct Impl;
    std::unique_ptr<const Impl> impl_;
    QString problem_;
};

// The two converters of a reader, each read at its first use (reading one
// takes some tens of milliseconds).
class ScriptConverters {
public:
    explicit ScriptConverters(QString configFolder = OpenCcConfigFolder());
    ~ScriptConverters();
    ScriptConverters(ScriptConverters&&) noexcept;
    ScriptConverters& operator=(ScriptConverters&&) noexcept;

    // `text` shown in `choice`.
    QString Convert(ScriptChoice choice, const QString& text);
    // Why `choice` cannot be shown, empty when it can (None always can):
    // its converter is read to know.
    QString Problem(ScriptChoice choice);
    // Why a conversion cannot be offered, without reading the tables: a
    // configuration is not there, or was read and found unusable.
    QString Missing() const;

private:
    const ScriptConverter* For(ScriptChoice choice);

    QString configFolder_;
    std::unique_ptr<ScriptConverter> toSimplified_;
    std::unique_ptr<ScriptConverter> toTraditional_;
};
