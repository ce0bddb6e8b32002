#pragma once

#include "text/search_text.h"
#include "text/show_chapter.h"
#include "ui/main/form4.h"

// The main window's reading pane, as the search sees it.
class MainPane : public SearchPane {
public:
    explicit MainPane(Form4& main) : main_(main) {}

    QString Text() const override { return main_.Text1->Text(); }
    void SetText(const QString& text) override { main_.Text1->SetText(text); }
    void Select(qsizetype start, qsizetype length) override
    {
        main_.Text1->SetSelStart(start);
        main_.Text1->SetSelLength(length);
    }
    void ShowChapter() override { ::ShowChapter(main_); }

private:
    Form4& main_;
};
