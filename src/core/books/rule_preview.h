#pragma once

#include <QString>
#include <QStringList>

// What a heading rule makes of a book, shown before the book is split by it.
struct RulePreview {
    QString rule;             // the rule's name
    int chapters = 0;         // chapters, chapter 0 included
    int headings = 0;         // lines the rule took for headings
    QStringList firstTitles;  // the titles of the first chapters, at most kPreviewTitles
    qsizetype shortest = 0;   // characters of the shortest and the longest chapter
    qsizetype longest = 0;

    static constexpr int kPreviewTitles = 8;
};

// One line of the rule list: a rule and how many headings it finds in the
// current book (-1 while that is still being counted).
struct RuleRow {
    QString name;
    QString example;
    int headings = -1;
    bool own = false;  // a rule the user added
};
