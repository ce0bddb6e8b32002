// 繁简转换: each book shown in the script chosen for it. Texts are converted
// when shown, a chapter at a time; titles once, when they are read.

#include "core/reading/reader.h"
#include "core/reading/reader_view.h"

namespace {

// Whether two strings share their storage: one of them is held, so nobody
// changes those characters in place, and the same storage is the same text.
bool SameStorage(const QString& a, const QString& b)
{
    return a.constData() == b.constData() && a.size() == b.size();
}

}  // namespace

ScriptChoice Reader::ScriptOf(const Book& book)
{
    return scripts_.ChoiceFor(book.Path);
}

ScriptChoice Reader::Script()
{
    const Book* book = state_.CurrentOrNull();
    return book ? ScriptOf(*book) : ScriptChoice::None;
}

QString Reader::ScriptProblem() const
{
    return converters_.Missing();
}

void Reader::ChooseScript(ScriptChoice choice)
{
    Book* book = state_.CurrentOrNull();
    if (!book || ScriptOf(*book) == choice)
        return;
    if (const QString problem = converters_.Problem(choice); !problem.isEmpty()) {
        Tell(problem);
        return;
    }
    // The place goes over as it is: the converted text is as long as the
    // file's, and every character where it was.
    RememberPlace();
    if (const FileWriteResult written = scripts_.Choose(book->Path, choice); !written)
        Tell(written.reason);
    ShowTitlesInScript(state_.CurrentBook, true);
    view_.ListChapters(state_.CurrentBook, true);
    ShowChapter();
    ReturnToPlace();
}

void Reader::ShowTitlesInScript(int slot, bool anew)
{
    Book* book = state_.Books.BookAt(slot);
    if (!book)
        return;
    std::vector<ChapterEntry>& entries = book->Chapters;
    const ScriptChoice script = ScriptOf(*book);
    if (script == ScriptChoice::None) {
        if (anew) {
            for (ChapterEntry& entry : entries)
                entry.ShownTitle.clear();
        }
        return;
    }
    // The chapters read since the last look came in at the end, without a
    // shown title (an untitled chapter needs none).
    size_t first = entries.size();
    if (anew)
        first = 0;
    else
        while (first > 0 && entries[first - 1].ShownTitle.isEmpty())
            --first;
    if (first == entries.size())
        return;
    // One pass over all of them: thousands of short titles, one line each.
    QString titles;
    for (size_t i = first; i < entries.size(); ++i) {
        if (i > first)
            titles += u'\n';
        titles += entries[i].Title;
    }
    const QStringList shown = converters_.Convert(script, titles).split(u'\n');
    if (static_cast<size_t>(shown.size()) != entries.size() - first)
        return;  // lines keep their places: never
    for (size_t i = first; i < entries.size(); ++i)
        entries[i].ShownTitle = shown[static_cast<qsizetype>(i - first)];
}

QString Reader::ShownText(const Book& book, int chapter, bool forPane)
{
    const QString& text = book.ChapterTexts[chapter];
    const ScriptChoice script = ScriptOf(book);
    if (script == ScriptChoice::None)
        return text;
    if (shown_.script == script && SameStorage(shown_.source, text))
        return shown_.text;
    QString converted = converters_.Convert(script, text);
    if (forPane)
        shown_ = {script, text, converted};
    return converted;
}

bool Reader::ShowsChapter(const Book& book, int chapter) const
{
    if (chapter < 0 || chapter > book.LastChapter())
        return false;
    const QString& text = book.ChapterTexts[chapter];
    return view_.PaneShows(text) || (SameStorage(shown_.source, text) && view_.PaneShows(shown_.text));
}

bool Reader::PaneShowsChapter(int chapter) const
{
    const Book* book = state_.CurrentOrNull();
    return book && ShowsChapter(*book, chapter);
}
