#pragma once

#include "ui/widgets/pane_text.h"

#include <QFont>
#include <QTextLayout>

#include <list>
#include <memory>
#include <unordered_map>

class QPaintDevice;

// One piece of the pane's text laid out at the pane's width: its lines sit
// one under the other from y = 0, with the pane's margin at the left.
struct LaidSegment {
    LaidSegment(const PaneSegment& piece, const QString& text, const QFont& font, const QPaintDevice* device)
        : segment(piece)
        , layout(text, font, device)
    {}
    PaneSegment segment;
    QTextLayout layout;
    qreal height = 0;
};

// How the pane sets its text, beyond the font: what a plain text box does
// by default, and what a reader may choose for comfort.
struct PaneTypography {
    int lineSpacingPercent = 100;  // of the font's own line height
    qreal paragraphSpacing = 0;    // in ems, after each paragraph
    qreal sideMargin = 4;          // pixels left and right of the text
    int lineCharacters = 0;        // the text column's width in ems, centred; 0: the whole width
    bool justified = false;
    qreal firstLineIndent = -1;  // in ems, in place of a paragraph's own leading spaces; < 0: as the book has it
    bool operator==(const PaneTypography&) const = default;
};

// The laid-out pieces the pane has shown lately. Only what comes on screen
// is ever laid out; the oldest pieces are dropped once they hold more
// characters than a few screens of any font need.
class PaneLayouts {
public:
    // A text box's margin round its text, in pixels.
    static constexpr qreal kMargin = 4;

    // Lays out with this font on this device, wrapping at this width (the
    // whole width of the view, margins included). Drops every layout.
    void SetGeometry(const QFont& font, const QPaintDevice* device, qreal width);
    // Drops every layout too.
    void SetTypography(const PaneTypography& typography);
    const PaneTypography& Typography() const { return typography_; }
    void Clear();
    qreal Width() const { return width_; }
    const QFont& Font() const { return font_; }

    std::shared_ptr<const LaidSegment> Get(const PaneText& text, const PaneSegment& segment);

    // Characters laid out since this object was made, again or not.
    qsizetype CharactersLaidOut() const { return laidOut_; }

private:
    static constexpr qsizetype kCharacterBudget = 256 * 1024;
    static constexpr size_t kLayoutBudget = 4096;

    using Entry = std::shared_ptr<const LaidSegment>;
    std::list<Entry> recent_;  // most recently used first
    std::unordered_map<qsizetype, std::list<Entry>::iterator> byStart_;
    QFont font_;
    PaneTypography typography_;
    const QPaintDevice* device_ = nullptr;
    qreal width_ = 0;
    qsizetype characters_ = 0;
    qsizetype laidOut_ = 0;
};
