#include "core/books/book_lines.h"

#include <algorithm>

namespace {

constexpr QStringView kLineEnd = u"\r\n";

std::int32_t BodyStart(const Book& book, int chapter)
{
    const ChapterEntry& entry = book.Chapters[static_cast<size_t>(chapter)];
    return entry.FirstLine + (entry.HeadingLength() > 0 ? 1 : 0);
}

// Where line `k` of a chapter text begins, or the text's end when it has fewer.
qsizetype OffsetOfLine(const QString& text, std::int32_t k)
{
    qsizetype at = 0;
    for (; k > 0; --k) {
        const qsizetype end = text.indexOf(kLineEnd, at);
        if (end < 0)
            return text.size();
        at = end + kLineEnd.size();
    }
    return at;
}

// Lines of a book split by a rule, from a given one on, with their lengths
// as stored: titles and body lines alike, in file order.
class LineWalker {
public:
    LineWalker(const Book& book, std::int32_t line) : book_(book)
    {
        const ReadingPlace place = PlaceOfLine(book, {line, 0});
        chapter_ = std::max(place.chapter, 0);
        onTitle_ = Entry().HeadingLength() > 0 && Entry().FirstLine == line;
        offset_ = onTitle_ ? 0 : place.offset;
    }
    // The length of the current line, or -1 past the end of the book.
    qsizetype Length() const
    {
        if (chapter_ > book_.LastChapter())
            return -1;
        if (onTitle_)
            return Entry().HeadingLength();
        const QString& text = Text();
        const qsizetype end = text.indexOf(kLineEnd, offset_);
        return (end < 0 ? text.size() : end) - offset_;
    }
    void Next()
    {
        if (onTitle_) {
            onTitle_ = false;
            offset_ = 0;
        } else {
            const qsizetype end = Text().indexOf(kLineEnd, offset_);
            offset_ = end < 0 ? Text().size() : end + kLineEnd.size();
        }
        // A chapter's text ends with its last line end: go on to the next.
        while (chapter_ <= book_.LastChapter() && !onTitle_ && offset_ >= Text().size()) {
            if (++chapter_ > book_.LastChapter())
                break;
            offset_ = 0;
            onTitle_ = Entry().HeadingLength() > 0;
        }
    }

private:
    const ChapterEntry& Entry() const { return book_.Chapters[static_cast<size_t>(chapter_)]; }
    const QString& Text() const { return book_.ChapterTexts[static_cast<size_t>(chapter_)]; }

    const Book& book_;
    int chapter_ = 0;
    bool onTitle_ = false;
    qsizetype offset_ = 0;
};

}  // namespace

LinePlace LineOfPlace(const Book& book, const ReadingPlace& place)
{
    if (place.chapter < 0 || place.chapter > book.LastChapter())
        return {};
    const QString& text = book.ChapterTexts[static_cast<size_t>(place.chapter)];
    const qsizetype offset = std::clamp<qsizetype>(place.offset, 0, text.size());
    std::int32_t k = 0;
    qsizetype lineStart = 0;
    for (qsizetype end = text.indexOf(kLineEnd); end >= 0 && end + kLineEnd.size() <= offset;
         end = text.indexOf(kLineEnd, lineStart)) {
        lineStart = end + kLineEnd.size();
        ++k;
    }
    return {BodyStart(book, place.chapter) + k, offset - lineStart};
}

ReadingPlace PlaceOfLine(const Book& book, const LinePlace& at)
{
    const auto after =
        std::upper_bound(book.Chapters.begin(), book.Chapters.end(), at.line,
                         [](std::int32_t line, const ChapterEntry& entry) { return line < entry.FirstLine; });
    const int chapter = std::max(0, static_cast<int>(after - book.Chapters.begin()) - 1);
    if (chapter > book.LastChapter())
        return {};
    if (at.line < BodyStart(book, chapter))
        return {chapter, 0};
    const QString& text = book.ChapterTexts[static_cast<size_t>(chapter)];
    const qsizetype start = OffsetOfLine(text, at.line - BodyStart(book, chapter));
    qsizetype end = text.indexOf(kLineEnd, start);
    if (end < 0)
        end = text.size();
    return {chapter, start + std::clamp<qsizetype>(at.column, 0, end - start)};
}

ReadingPlace BuiltInPlace(const Book& book, const ReadingPlace& place)
{
    if (book.BuiltInFirstLines.empty() || place.chapter < 0)
        return place;
    const LinePlace at = LineOfPlace(book, place);
    const auto after = std::upper_bound(book.BuiltInFirstLines.begin(), book.BuiltInFirstLines.end(), at.line);
    const int chapter = std::max(0, static_cast<int>(after - book.BuiltInFirstLines.begin()) - 1);
    const std::int32_t bodyStart = book.BuiltInFirstLines[static_cast<size_t>(chapter)] + 1;
    if (at.line < bodyStart)
        return {chapter, 0};
    // The built-in chapter's text holds the same lines: add up those before.
    qsizetype offset = 0;
    LineWalker walker(book, bodyStart);
    for (std::int32_t line = bodyStart; line < at.line && walker.Length() >= 0; ++line, walker.Next())
        offset += walker.Length() + kLineEnd.size();
    return {chapter, offset + at.column};
}

ReadingPlace PlaceOfBuiltInPlace(const Book& book, const ReadingPlace& builtIn)
{
    if (book.BuiltInFirstLines.empty() || builtIn.chapter < 0)
        return builtIn;
    const int chapter = std::min<int>(builtIn.chapter, static_cast<int>(book.BuiltInFirstLines.size()) - 1);
    std::int32_t line = book.BuiltInFirstLines[static_cast<size_t>(chapter)] + 1;
    qsizetype left = std::max<qsizetype>(builtIn.offset, 0);
    LineWalker walker(book, line);
    for (; walker.Length() >= 0 && left > walker.Length(); ++line, walker.Next())
        left -= walker.Length() + kLineEnd.size();
    return PlaceOfLine(book, {line, std::max<qsizetype>(left, 0)});
}
