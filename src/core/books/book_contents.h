#pragma once

#include "core/books/book_store.h"

#include <QString>

// The contents view: every chapter title followed by CR LF.
QString ContentsText(const Book& book);

// The contents view opening a book leaves: CR LF and a title for every
// chapter, appended to whatever the pane held.
QString AppendedContentsText(const Book& book);

// Chapter titles as every list of them shows them, in the script chosen for
// the book: a chapter after a volume heading (a rule that knows volumes
// marks them) stands indented under it.
// Lists go through a book in order, keeping the volume they are in.
class ContentsTitles {
public:
    // The title of `entry`, the next chapter listed.
    QString Next(const ChapterEntry& entry);
    // The volume heading's title the last chapter listed stands under.
    const QString& Volume() const { return volume_; }

private:
    QString volume_;
    bool inVolume_ = false;
};

inline constexpr char16_t kVolumeIndent[] = u"　　";
