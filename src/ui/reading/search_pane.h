#pragma once

#include "core/books/search_text.h"
#include "ui/reading/reader_view.h"
#include "ui/reading/show_chapter.h"
#include "ui/widgets/reading_pane.h"

// The main window's reading pane, as the search sees it.
class MainPane : public SearchPane {
public:
    explicit MainPane(ReaderView& view) : view_(view) {}

    QString Text() const override { return view_.Pane().Text(); }
    void SetText(const QString& text) override { view_.Pane().SetText(text); }
    void Select(qsizetype start, qsizetype length) override
    {
        view_.Pane().SetSelStart(start);
        view_.Pane().SetSelLength(length);
    }
    void ShowChapter() override { ::ShowChapter(view_); }

private:
    ReaderView& view_;
};
