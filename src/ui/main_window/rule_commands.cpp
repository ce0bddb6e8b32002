// 查看 → 章节规则 and the bar that offers a better heading rule. The dialog
// and the bar only show and ask; the Reader counts, previews, splits and
// remembers.

#include "core/books/book_lines.h"
#include "core/reading/reader.h"
#include "ui/dialogs/heading_rules_dialog.h"
#include "ui/main_window/chapter_menu.h"
#include "ui/main_window/main_window.h"
#include "ui/platform/prompter.h"
#include "ui/widgets/reading_pane.h"
#include "ui/widgets/rule_offer_bar.h"

#include <QAction>
#include <QMenu>
#include <QPalette>

#include <utility>

namespace {

// The built-in recogniser and its parts take no named sections of a rule.
QString RuleName(const QString& name, bool namedSections)
{
    const bool builtIn = name == QStringView(kBuiltInRuleName) || name == PartsRule().name;
    return namedSections && !builtIn && !name.endsWith(QStringView(kWithNamedSuffix))
        ? name + QString::fromUtf16(kWithNamedSuffix)
        : name;
}

}  // namespace

void MainWindow::BuildRuleCommands()
{
    rulesAction = new QAction(QStringLiteral("章节规则"), viewMenu);
    rulesAction->setObjectName(QStringLiteral("rulesAction"));
    viewMenu->insertAction(findAction, rulesAction);
    connect(rulesAction, &QAction::triggered, this, &MainWindow::ShowRulesDialog);

    ruleOfferBar = new RuleOfferBar(canvas);
    ruleOfferBar->setObjectName(QStringLiteral("ruleOfferBar"));
    ruleOfferBar->hide();
    connect(reader_, &Reader::RuleOffered, this, [this](int slot, const QString& text) {
        offeredSlot_ = slot;
        // In the colours of the page it sits on, whatever the skin.
        QPalette colours = ruleOfferBar->palette();
        colours.setColor(QPalette::Window, readingPane->palette().color(QPalette::Base));
        colours.setColor(QPalette::WindowText, readingPane->palette().color(QPalette::Text));
        ruleOfferBar->setPalette(colours);
        ruleOfferBar->Offer(text);
        PlaceRuleOfferBar();
        ruleOfferBar->raise();
    });
    const auto answer = [this](bool take) {
        ruleOfferBar->hide();
        PlaceRuleOfferBar();
        reader_->AnswerRuleOffer(offeredSlot_, take);
    };
    connect(readingPane, &ReadingPane::MenuOpening, this, &MainWindow::AddHeadingMarks);
    connect(ruleOfferBar, &RuleOfferBar::Accepted, this, [answer] { answer(true); });
    connect(ruleOfferBar, &RuleOfferBar::Declined, this, [answer] { answer(false); });
}

// At the top of the reading pane's place, as wide as it, with the pane
// below it: the bar hides no line of the book.
void MainWindow::PlaceRuleOfferBar()
{
    if (!ruleOfferBar)
        return;
    if (!ruleOfferBar->isVisibleTo(this)) {
        readingPane->setGeometry(paneArea_);
        return;
    }
    const int width = paneArea_.width();
    const int height =
        ruleOfferBar->hasHeightForWidth() ? ruleOfferBar->heightForWidth(width) : ruleOfferBar->sizeHint().height();
    ruleOfferBar->setGeometry(paneArea_.x(), paneArea_.y(), width, height);
    readingPane->setGeometry(paneArea_.adjusted(0, height, 0, 0));
}

void MainWindow::AddHeadingMarks(QMenu* menu, qsizetype offset)
{
    const Book* book = state_.CurrentOrNull();
    if (!book || reader_->Loading())
        return;
    bool separated = false;
    const auto add = [&](const QString& caption, std::int32_t line, bool heading) {
        if (!std::exchange(separated, true))
            menu->addSeparator();
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, line, heading] { reader_->MarkHeading(line, heading); });
    };
    const int index = book->ChapterIndex;
    if (index >= 0 && reader_->PaneShowsChapter(index)) {
        // A chapter as the reader put it there: the line, and the chapter's
        // own heading. Only a short line can be a heading.
        const QString& text = readingPane->Text();
        const qsizetype start = offset > 0 ? text.lastIndexOf(u'\n', offset - 1) + 1 : 0;
        qsizetype end = text.indexOf(u'\r', start);
        if (end < 0)
            end = text.size();
        const QStringView line = TrimAllSpaces(QStringView(text).sliced(start, end - start));
        if (!line.isEmpty() && line.size() < kRuleLineLimit)
            add(QStringLiteral("设为章节标题"), LineOfPlace(*book, {index, start}).line, true);
        const ChapterEntry& entry = book->Chapters[static_cast<size_t>(index)];
        if (entry.HeadingLength() > 0)
            add(QStringLiteral("取消章节标题"), entry.FirstLine, false);
    } else if (const std::optional<int> chapter =
                   ChapterOnContentsLine(*book, *readingPane, readingPane->LineOf(offset))) {
        // The contents view: the heading on that line.
        const ChapterEntry& entry = book->Chapters[static_cast<size_t>(*chapter)];
        if (entry.HeadingLength() > 0)
            add(QStringLiteral("取消章节标题"), entry.FirstLine, false);
    }
}

void MainWindow::ShowRulesDialog()
{
    if (!state_.Books.IsBook(state_.CurrentBook))
        return;
    if (!rulesDialog_) {
        rulesDialog_ = new HeadingRulesDialog(this);
        rulesDialog_->setAttribute(Qt::WA_DeleteOnClose);
        const QPointer<HeadingRulesDialog> dialog = rulesDialog_;
        connect(rulesDialog_, &HeadingRulesDialog::PreviewWanted, this,
                [this, dialog](const QString& name, bool named) {
                    reader_->PreviewRule(RuleName(name, named), [dialog](const RulePreview& preview) {
                        if (dialog)
                            dialog->ShowPreview(preview);
                    });
                });
        connect(rulesDialog_, &HeadingRulesDialog::ApplyWanted, this,
                [this](const QString& name, bool named) { reader_->ChooseRule(RuleName(name, named)); });
        connect(rulesDialog_, &HeadingRulesDialog::UserRuleAdded, this,
                [this](const QString& name, const QString& pattern, const QString& example) {
                    const QString problem = reader_->Rules().AddUserRule(name, pattern, example);
                    if (!problem.isEmpty())
                        prompter_.Message(problem, QStringLiteral("章节规则"), Prompter::Icon::Exclamation,
                                          Prompter::Buttons::Ok, rulesDialog_);
                    CountRulesForDialog();
                });
        connect(rulesDialog_, &HeadingRulesDialog::UserRuleRemoved, this, [this](const QString& name) {
            reader_->Rules().RemoveUserRule(name);
            CountRulesForDialog();
        });
    }
    CountRulesForDialog();
    rulesDialog_->show();
    rulesDialog_->raise();
    rulesDialog_->activateWindow();
}

// The list at once, the counts when the book has been read for them.
void MainWindow::CountRulesForDialog()
{
    if (!rulesDialog_ || !state_.Books.IsBook(state_.CurrentBook))
        return;
    const QString current =
        state_.Current().Rule.isEmpty() ? QString::fromUtf16(kBuiltInRuleName) : state_.Current().Rule;
    rulesDialog_->SetRules(reader_->RuleRows(), current);
    const QPointer<HeadingRulesDialog> dialog = rulesDialog_;
    reader_->CountRules([dialog, current](const QList<RuleRow>& rows) {
        if (dialog)
            dialog->SetRules(rows, current);
    });
}
