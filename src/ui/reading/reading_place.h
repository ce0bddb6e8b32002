#pragma once

class ReaderView;

// Each book keeps the place where it was being read inside a chapter, so
// that stepping to another book and back, or the next start, comes back to
// it. A chapter step, the contents view and a find start where they always
// did: only the book steps, reopening and a start return to the place.

// Notes where the current book is being read: the first character on
// screen, when the pane shows the book's current chapter. On its contents
// view the book is in no chapter; showing anything else (a find's look at
// another chapter, an emptied pane) leaves the note as it was.
void RememberPlace(ReaderView& view);

// Scrolls the pane so that the current book's place is at the top, when
// the pane shows the chapter that place is in.
void ReturnToPlace(ReaderView& view);
