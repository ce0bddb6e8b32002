// 查看 → 繁简转换: the script the current book is shown in. A choice shows
// the book converted at the same place, and book.script remembers it for
// the next time the book opens.

#include "core/reading/reader.h"
#include "ui/main_window/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

void MainWindow::BuildScriptMenu()
{
    scriptMenu = new QMenu(QStringLiteral("繁简转换"), viewMenu);
    scriptMenu->setObjectName(QStringLiteral("scriptMenu"));
    // Beside 文字编码, just before it: that stays the menu's last item.
    viewMenu->insertMenu(encodingMenu->menuAction(), scriptMenu);
    scriptChoices = new QActionGroup(scriptMenu);
    scriptChoices->setObjectName(QStringLiteral("scriptChoices"));
    scriptChoices->setExclusive(true);
    const auto item = [this](const char* name, const QString& caption, ScriptChoice choice) {
        QAction* made = scriptMenu->addAction(caption);
        made->setObjectName(QString::fromLatin1(name));
        made->setCheckable(true);
        made->setData(static_cast<int>(choice));
        scriptChoices->addAction(made);
        connect(made, &QAction::triggered, this, [this, choice] { ChooseScript(choice); });
        return made;
    };
    noConversionAction = item("noConversionAction", QStringLiteral("不转换"), ScriptChoice::None);
    toSimplifiedAction = item("toSimplifiedAction", QStringLiteral("繁→简"), ScriptChoice::ToSimplified);
    toTraditionalAction = item("toTraditionalAction", QStringLiteral("简→繁"), ScriptChoice::ToTraditional);
    // Says why the choices cannot be made, when OpenCC's tables are missing.
    scriptProblemNote = scriptMenu->addAction(QString());
    scriptProblemNote->setObjectName(QStringLiteral("scriptProblemNote"));
    scriptProblemNote->setEnabled(false);
    scriptProblemNote->setVisible(false);
    noConversionAction->setChecked(true);
    // With no book there is nothing to convert; the tables are read at the
    // menu's first opening, not at start-up.
    for (QAction* choice : scriptChoices->actions())
        choice->setEnabled(false);
    connect(scriptMenu, &QMenu::aboutToShow, this, &MainWindow::ShowChosenScript);
}

// The current book's choice is checked.
void MainWindow::ShowChosenScript()
{
    const bool isBook = state_.Books.IsBook(state_.CurrentBook);
    const QString problem = isBook ? reader_->ScriptProblem() : QString();
    const ScriptChoice chosen = isBook ? reader_->Script() : ScriptChoice::None;
    for (QAction* choice : scriptChoices->actions()) {
        choice->setEnabled(isBook && problem.isEmpty());
        choice->setChecked(choice->data().toInt() == static_cast<int>(chosen));
    }
    scriptProblemNote->setText(problem);
    scriptProblemNote->setVisible(!problem.isEmpty());
}

void MainWindow::ChooseScript(ScriptChoice choice)
{
    if (quitting_)
        return;
    reader_->ChooseScript(choice);
    ShowChosenScript();  // a refused choice shows the book's again
}
