#pragma once

#include "core/books/rule_preview.h"
#include "core/books/text_loader.h"
#include "core/text/heading_rules.h"
#include "core/text/rule_survey.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// A book read once more on a worker thread, apart from the store: what a
// rule makes of it, or how every rule fares on it. The answer comes back on
// the thread that asked, between events; the store is never touched.
class BookSurvey : public QObject {
public:
    struct Answer {
        bool read = false;
        RulePreview preview;               // the split by `rule`
        QList<RuleSurvey::Tally> tallies;  // with `judgeRules`: every rule's
    };

    // Reads `path` in `encoding`, split by `rule` (null: the built-in
    // recogniser); with `judgeRules`, a survey of the shipped rules and
    // `extra` ones goes along.
    BookSurvey(const QString& path, EncodingChoice encoding, std::shared_ptr<const HeadingRule> rule, bool judgeRules,
               QList<HeadingRule> extra, std::function<void(const Answer&)> done);
    // Stops the worker at its next look at the clock and waits for it.
    ~BookSurvey() override;

    bool Done() const { return done_; }

private:
    std::function<void(const Answer&)> then_;
    std::atomic<bool> cancelled_{false};
    bool done_ = false;
    std::thread thread_;
};

// The preview of a book as a load split it.
RulePreview PreviewOf(const Book& book, const QString& rule);
