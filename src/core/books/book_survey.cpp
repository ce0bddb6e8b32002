#include "core/books/book_survey.h"

#include <QMetaObject>

#include <algorithm>

namespace {

// Reads without a window; stops when the survey is no longer wanted.
class QuietHost : public LoaderHost {
public:
    explicit QuietHost(const std::atomic<bool>& cancelled) : cancelled_(cancelled) {}
    void ShowChapter() override {}
    bool PaneIsEmpty() const override { return false; }
    bool Yield() override { return !cancelled_; }

private:
    const std::atomic<bool>& cancelled_;
};

}  // namespace

RulePreview PreviewOf(const Book& book, const QString& rule)
{
    RulePreview preview;
    preview.rule = rule;
    preview.chapters = book.LastChapter() + 1;
    for (int i = 0; i <= book.LastChapter(); ++i) {
        const ChapterEntry& entry = book.Chapters[static_cast<size_t>(i)];
        if (!entry.Title.isEmpty()) {
            ++preview.headings;
            if (preview.firstTitles.size() < RulePreview::kPreviewTitles)
                preview.firstTitles.append(entry.Title);
        }
    }
    if (!book.ChapterTexts.empty()) {
        const auto [shortest, longest] =
            std::minmax_element(book.ChapterTexts.begin(), book.ChapterTexts.end(),
                                [](const QString& a, const QString& b) { return a.size() < b.size(); });
        preview.shortest = shortest->size();
        preview.longest = longest->size();
    }
    return preview;
}

BookSurvey::BookSurvey(const QString& path, EncodingChoice encoding, std::shared_ptr<const HeadingRule> rule,
                       bool judgeRules, QList<HeadingRule> extra, std::function<void(const Answer&)> done)
    : then_(std::move(done))
{
    thread_ = std::thread([this, path, encoding, rule = std::move(rule), judgeRules, extra = std::move(extra)] {
        ReaderState state;
        QuietHost host(cancelled_);
        RuleSurvey survey(extra);
        LoadTuning tuning;
        tuning.rule = rule.get();
        tuning.survey = judgeRules ? &survey : nullptr;
        const LoadResult result = LoadTextFile(state, path, host, encoding, tuning);
        Answer answer;
        answer.read = result.Succeeded() && result.error == LoadError::None;
        if (answer.read) {
            answer.preview =
                PreviewOf(state.Books[result.Code], rule ? rule->name : QString::fromUtf16(kBuiltInRuleName));
            if (judgeRules)
                answer.tallies = survey.Tallies();
        }
        if (cancelled_)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, answer = std::move(answer)] {
                // Done only once the answer has been taken: what the answer
                // starts may clear away finished surveys, not this one.
                if (then_)
                    then_(answer);
                done_ = true;
            },
            Qt::QueuedConnection);
    });
}

BookSurvey::~BookSurvey()
{
    cancelled_ = true;
    if (thread_.joinable())
        thread_.join();
}
