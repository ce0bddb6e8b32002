// Heading rules: counting and previewing them on the current book, splitting
// a book again by one at the same place, and the offer of a better one.

#include "core/books/book_lines.h"
#include "core/books/book_survey.h"
#include "core/reading/reader.h"
#include "core/reading/reader_view.h"

#include <QLocale>

#include <algorithm>

QList<RuleRow> Reader::RuleRows()
{
    QList<RuleRow> rows{{QString::fromUtf16(kBuiltInRuleName), QStringLiteral("第一章 风云再起"), -1, false}};
    for (const HeadingRule& rule : ShippedRules())
        rows.append({rule.name, rule.example, -1, false});
    rows.append({PartsRule().name, QStringLiteral("第一章 风云再起（2）"), -1, false});
    for (const HeadingRule& rule : rules_.UserRules())
        rows.append({rule.name, rule.example, -1, true});
    return rows;
}

void Reader::StartSurvey(std::unique_ptr<BookSurvey> survey)
{
    std::erase_if(surveys_, [](const std::unique_ptr<BookSurvey>& done) { return done->Done(); });
    surveys_.push_back(std::move(survey));
}

void Reader::CountRules(std::function<void(QList<RuleRow>)> done)
{
    QList<RuleRow> rows = RuleRows();
    const Book* book = state_.CurrentOrNull();
    if (!book) {
        done(rows);
        return;
    }
    StartSurvey(std::make_unique<BookSurvey>(
        book->Path, book->ChosenEncoding, nullptr, true, rules_.UserRules(),
        [rows, done = std::move(done)](const BookSurvey::Answer& answer) mutable {
            for (RuleRow& row : rows) {
                const auto tally = std::find_if(answer.tallies.begin(), answer.tallies.end(),
                                                [&](const RuleSurvey::Tally& t) { return t.name == row.name; });
                if (tally != answer.tallies.end())
                    row.headings = tally->headings;
            }
            done(rows);
        }));
}

void Reader::PreviewRule(const QString& name, std::function<void(RulePreview)> done)
{
    const Book* book = state_.CurrentOrNull();
    std::shared_ptr<const HeadingRule> rule = rules_.FindRule(name);
    if (!book || (!rule && name != QStringView(kBuiltInRuleName))) {
        RulePreview none;
        none.rule = name;
        done(none);
        return;
    }
    StartSurvey(std::make_unique<BookSurvey>(book->Path, book->ChosenEncoding, std::move(rule), false,
                                             QList<HeadingRule>(),
                                             [name, done = std::move(done)](const BookSurvey::Answer& answer) {
                                                 RulePreview preview = answer.preview;
                                                 preview.rule = name;
                                                 done(preview);
                                             }));
}

void Reader::ChooseRule(const QString& name)
{
    if (state_.Books.IsBook(state_.CurrentBook))
        SplitByRule(state_.CurrentBook, name);
}

void Reader::AnswerRuleOffer(int slot, bool take)
{
    const Book* book = state_.Books.BookAt(slot);
    if (!book)
        return;
    if (take)
        SplitByRule(slot, book->BetterRule);
    else
        rules_.Choose(book->Path, QString::fromUtf16(kBuiltInRuleName));
}

void Reader::SplitByRule(int slot, const QString& name)
{
    if (Loading()) {
        Tell(QStringLiteral("正在加载电子书,加载完毕后才可以更换章节规则!"));
        return;
    }
    std::shared_ptr<const HeadingRule> rule = rules_.RuleForBook(state_.Books[slot].Path, name);
    if (!rule && name != QStringView(kBuiltInRuleName))
        return;
    if (slot == state_.CurrentBook)
        RememberPlace();
    Book& book = state_.Books[slot];
    // The place goes over by its line: the same line is somewhere in the
    // new chapters, and so is the chapter shown without a place in it.
    const bool contents = book.ChapterIndex < 0;
    const LinePlace at = book.Place.chapter >= 0 && book.Place.chapter == book.ChapterIndex
        ? LineOfPlace(book, book.Place)
        : LinePlace{contents ? 0 : book.Chapters[static_cast<size_t>(book.ChapterIndex)].FirstLine, 0};
    // A close while the book is read again keeps the place it had, in the
    // built-in recogniser's numbers, as the settings files keep it.
    const ReadingPlace builtIn = BuiltInPlace(book, book.Place);
    const std::int32_t builtInChapter = contents ? -1 : BuiltInPlace(book, {book.ChapterIndex, 0}).chapter;
    const QString path = book.Path;
    const EncodingChoice encoding = book.ChosenEncoding;
    LoadStart start = StartReload(state_, slot, encoding);
    if (!start.reader) {
        CheckLoad(path, start.result);
        return;
    }
    if (!readingAgain_.contains(slot))
        readingAgain_.insert(slot, {builtInChapter, builtIn, encoding, true});
    opening_ = true;
    state_.LoadingBook = -1;
    loadRule_ = std::move(rule);
    ReadInto(slot, std::move(start.reader), encoding, [this, slot, at, contents, name, path](const LoadResult& done) {
        Book* split = state_.Books.BookAt(slot);
        if (split && done.error == LoadError::None) {
            const ReadingPlace place = PlaceOfLine(*split, at);
            split->ChapterIndex = contents ? -1 : place.chapter;
            split->Place = contents ? ReadingPlace{} : place;
            rules_.Choose(path, name);
            if (state_.CurrentBook == slot) {
                view_.ListChapters(slot, true);
                ShowChapter();
                ReturnToPlace();
            }
        }
        CheckLoad(path, done);
        EndLoad();
    });
}

void Reader::MarkHeading(std::int32_t line, bool heading)
{
    Book* book = state_.CurrentOrNull();
    if (!book || Loading())
        return;
    if (const FileWriteResult written = rules_.MarkHeading(book->Path, line, heading); !written) {
        Tell(written.reason);
        return;
    }
    SplitByRule(state_.CurrentBook, book->Rule.isEmpty() ? QString::fromUtf16(kBuiltInRuleName) : book->Rule);
}

void Reader::OfferBetterRule(int slot)
{
    const Book* book = state_.Books.BookAt(slot);
    if (!book || book->BetterRule.isEmpty() || !book->Rule.isEmpty() || rules_.ChoiceFor(book->Path))
        return;
    const QLocale locale(QLocale::Chinese, QLocale::China);
    if (book->BetterRule == PartsRule().name) {
        emit RuleOffered(slot,
                         QStringLiteral("内置规则没有识别出章节，用「%1」可分成约 %2 段阅读")
                             .arg(book->BetterRule, locale.toString(book->BetterRuleChapters)));
        return;
    }
    emit RuleOffered(slot,
                     QStringLiteral("内置规则识别出 %1 章，规则「%2」识别出 %3 章")
                         .arg(locale.toString(book->LastChapter() + 1), book->BetterRule,
                              locale.toString(book->BetterRuleChapters)));
}

// The books as the settings files keep them: places in the chapters of the
// built-in recogniser, whatever rule splits a book now.
ReaderState Reader::StateAsSaved(qsizetype& caret) const
{
    ReaderState saved = state_;
    for (int slot = 1; slot <= saved.Books.Count(); ++slot) {
        Book& book = saved.Books[slot];
        if (book.BuiltInFirstLines.empty() || (readingAgain_.contains(slot) && readingAgain_[slot].builtIn))
            continue;
        if (slot == saved.CurrentBook && book.ChapterIndex >= 0)
            caret = BuiltInPlace(book, {book.ChapterIndex, caret}).offset;
        const bool placeHere = book.Place.chapter >= 0 && book.Place.chapter == book.ChapterIndex;
        const ReadingPlace place = BuiltInPlace(book, placeHere ? book.Place : ReadingPlace{book.ChapterIndex, 0});
        book.Place = placeHere ? place : ReadingPlace{};
        if (book.ChapterIndex >= 0)
            book.ChapterIndex = place.chapter;
    }
    return saved;
}
