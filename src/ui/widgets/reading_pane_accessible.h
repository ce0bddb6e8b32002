#pragma once

#include <QString>

class QAccessibleEvent;
class QAccessibleInterface;
class QObject;

// Screen readers see the reading pane as a read-only, multi-line text box.
// Its offsets are those of the pane's own string (the reader's: CR LF counts
// as two characters), so what a screen reader reads, selects and moves the
// caret to is what SelStart and SelLength say.

// The pane's accessible object, for the accessibility factory.
QAccessibleInterface* MakeReadingPaneAccessible(QObject* pane);

// What the pane tells screen readers when its caret, selection or text
// changes. Cheap when no assistive technology listens.
void ReportPaneCaret(QObject* pane, qsizetype anchor, qsizetype position, bool selectionChanged);
void ReportPaneText(QObject* pane, qsizetype position, const QString& removed, const QString& inserted);

// Where those reports go: QAccessible::updateAccessibility unless replaced.
// Qt passes events on only while an assistive technology is active, which
// it never is on the offscreen platform, so tests record them here.
using PaneEventSink = void (*)(QAccessibleEvent* event);
PaneEventSink SetPaneEventSink(PaneEventSink sink);  // returns the one it replaces
