#pragma once

#include "core/books/rule_preview.h"

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;

// "章节规则": the heading rules a book can be split by, how many headings
// each finds in the current book, and a preview of the chapters the
// selected one would make. It knows nothing of the book: the caller fills
// it (SetRules, SetHeadingCount, ShowPreview) and answers its signals.
// Modeless-capable; 应用 or Enter applies the selection and closes, Esc
// closes.
class HeadingRulesDialog : public QDialog {
    Q_OBJECT
public:
    explicit HeadingRulesDialog(QWidget* parent = nullptr);

    // The rules to list, and the book's rule, which is marked. The first
    // call selects `current`; later calls keep the selected rule (or select
    // a rule just added). A `current` ending in kWithNamedSuffix marks its
    // base rule and ticks the named-sections box.
    void SetRules(const QList<RuleRow>& rows, const QString& current);
    // The headings `name` finds, once counted.
    void SetHeadingCount(const QString& name, int headings);
    // Shown when it is for the selection: `preview.rule` is the selected
    // rule's name, with kWithNamedSuffix when the named-sections box is
    // ticked (as WithNamedSections names it). Any other preview is stale.
    void ShowPreview(const RulePreview& preview);

    // The selected rule's name, or empty.
    QString SelectedRule() const;
    bool NamedSections() const;

signals:
    void PreviewWanted(const QString& name, bool namedSections);
    void ApplyWanted(const QString& name, bool namedSections);
    // The caller stores the rule and calls SetRules again.
    void UserRuleAdded(const QString& name, const QString& pattern, const QString& example);
    void UserRuleRemoved(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSelectionChanged();
    void Apply();
    void AddRule();
    void RemoveRule();
    void RequestPreview();
    QListWidgetItem* FindRow(const QString& name) const;
    QListWidgetItem* SelectedRow() const;
    // The name the preview of the selection carries.
    QString PreviewName() const;

    QListWidget* ruleList;
    QCheckBox* namedSectionsBox;
    QPushButton* addRuleButton;
    QPushButton* deleteRuleButton;
    QTextBrowser* previewText;
    QPushButton* applyButton;
    QPushButton* closeButton;

    QString current_;       // the book's rule, marked in the list
    QString justAdded_;     // a rule the user added, selected when it is listed
    QString selected_;      // the selection previews are wanted for
    bool filling_ = false;  // SetRules is rebuilding the list: no signals
    bool listed_ = false;   // SetRules has run once
};

// "添加规则…": a name, a regular expression checked as it is typed, and an
// example line the expression is tried on. Accepting with a name that is
// empty, holds a TAB or is taken already is refused with a message.
class AddRuleDialog : public QDialog {
    Q_OBJECT
public:
    AddRuleDialog(const QStringList& takenNames, QWidget* parent);

    QString Name() const;
    QString Pattern() const;
    QString Example() const;

    void accept() override;

private:
    void Check();
    // Why `name` cannot be a rule's name, or empty.
    QString NameProblem(const QString& name) const;

    QStringList takenNames_;
    QLineEdit* nameEdit;
    QLabel* nameProblem;
    QLineEdit* patternEdit;
    QLabel* patternProblem;
    QLineEdit* exampleEdit;
    QLabel* exampleVerdict;
    QPushButton* okButton;
};
