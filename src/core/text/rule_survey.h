#pragma once

#include "core/text/heading_rules.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <bitset>
#include <optional>
#include <vector>

// Watches a book's lines go by during its load and tells afterwards which
// heading rule explains the book best: headings numbered in order, few
// numbers skipped, chapters of plausible length rather than runs of empty
// ones (a table of contents at the top). The built-in recogniser is judged
// the same way, from the answers the loader gets from it anyway.
class RuleSurvey {
public:
    // Judges the shipped rules and `extra` ones (a user's).
    explicit RuleSurvey(const QList<HeadingRule>& extra = {});

    // One line as the loader stores it, whether the built-in recogniser
    // took it for a heading, and where it stands in the book's text
    // (characters stored before it).
    void Take(QStringView line, bool builtInHeading, qsizetype position);
    // The end of the book's text.
    void Finish(qsizetype length);

    struct Tally {
        QString name;
        int headings = 0;
        int inOrder = 0;  // numbered one more than the heading before, or starting again at 1
        int empty = 0;    // followed by too little text to be a chapter
        int Score() const { return inOrder + (headings - inOrder - empty) / 2 - empty; }
    };
    // The built-in recogniser first, then every rule in ShippedRules order,
    // the extra ones, and last PartsRule with about the chapters it makes.
    QList<Tally> Tallies() const;

    // The rule to offer instead of the built-in recogniser, by name (see
    // FindSurveyedRule): one that finds clearly more chapters in order, or
    // any when the built-in recogniser found none; parts (PartsRule) for a
    // long book without a heading. Empty when the built-in one does as well.
    std::optional<QString> Better() const;
    // The chapters the rule of that name makes (with the named sections
    // when its name says so): its headings, and chapter 0 when text comes
    // before the first.
    int ChaptersOf(QStringView name) const;

private:
    struct Watch {
        Tally tally;
        std::vector<qsizetype> positions;
        long long lastNumber = 0;
    };
    void Count(Watch& watch, QStringView line, qsizetype position);
    int PartsEstimate() const;

    Watch builtIn_;
    QList<HeadingRule> judged_;
    std::vector<Watch> rules_;    // one for each of judged_
    std::bitset<0x10000> leads_;  // what any rule's heading can begin with
    bool anyLead_ = false;        // a rule's heading can begin with anything
    qsizetype length_ = 0;        // of the whole book, once finished
};

// A rule a survey may name: a shipped one, or one with the named sections.
std::optional<HeadingRule> FindSurveyedRule(QStringView name);

// The number a heading carries (第一千零二章 1002, Chapter 12, 【十二】,
// XII.), or nothing.
std::optional<long long> HeadingNumber(QStringView title);
