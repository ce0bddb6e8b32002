#pragma once

#include "core/books/text_loader.h"

#include <functional>

// Stands in for the main window: records what the loader asked of it and
// lets a test run code where the event loop would run.
class FakeLoaderHost : public LoaderHost {
public:
    void ShowChapter() override
    {
        ++shows;
        if (onShow)
            onShow();
    }
    bool PaneIsEmpty() const override { return paneEmpty; }
    bool Yield() override
    {
        ++yields;
        return onYield ? onYield() : true;
    }

    bool paneEmpty = false;
    int shows = 0;
    int yields = 0;
    std::function<void()> onShow;
    std::function<bool()> onYield;
};
