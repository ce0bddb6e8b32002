#pragma once

#include <QList>
#include <QString>

// A sentence of a chapter as the pane shows it: `start` and `length` in the
// reader's counting (CR LF is two characters).
struct Sentence {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Sentence&) const = default;
};

// The sentences of `text` in order, as read aloud: cut after 。！？；… and
// their Western forms (a full stop only before a space or a line end), and
// at every line end, so a heading is a sentence of its own. Closing quotes
// and brackets stay with the sentence they close. Leading and trailing
// spaces are left out, and so are pieces with nothing to say (blank lines,
// decoration such as 〓〓〓 or ======).
QList<Sentence> CutSentences(const QString& text);

// The index of the sentence holding `offset`, else of the first one after
// it; the number of sentences when none is.
qsizetype SentenceAt(const QList<Sentence>& sentences, qsizetype offset);
