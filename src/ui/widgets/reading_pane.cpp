#include "ui/widgets/reading_pane.h"

#include "ui/widgets/accessible_widgets.h"
#include "ui/widgets/reading_pane_accessible.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace {

// Longest selection handed to an input method when it asks.
constexpr qsizetype kInputMethodSelectionLimit = 4096;

int ToInt(qsizetype value)
{
    return static_cast<int>(std::clamp<qsizetype>(value, INT_MIN, INT_MAX));
}

}  // namespace

ReadingPane::ReadingPane(QWidget* parent) : QAbstractScrollArea(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // lines wrap at the pane's width
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setInputMethodHints(Qt::ImhMultiLine);
    viewport()->setCursor(Qt::IBeamCursor);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, &ReadingPane::OnScrollAction);
    Relayout();
    InstallAccessibleWidgets();
}

// ---- Text ----

void ReadingPane::SetText(const QString& text)
{
    if (!text_.Holds(text)) {
        const QString before = text_.Text();  // shared, not copied
        text_.SetText(text);
        ReportPaneText(this, 0, before, text);
        layouts_.Clear();
        UpdateScrollRange();
        IndexTheRest();
    }
    ShowFromTheTop();
}

void ReadingPane::AppendText(const QString& text)
{
    const qsizetype end = text_.Text().size();
    text_.Append(text);
    ReportPaneText(this, end, QString(), text);
    layouts_.Clear();
    UpdateScrollRange();
    IndexTheRest();
    ShowFromTheTop();
}

// What a change left unindexed is indexed between events, so a chapter of
// millions of lines shows its beginning at once and never holds up the
// window.
void ReadingPane::IndexTheRest()
{
    if (text_.Complete())
        indexTimer_.stop();
    else if (!indexTimer_.isActive())
        indexTimer_.start(0, this);
}

void ReadingPane::Reach(qsizetype offset)
{
    if (!text_.Complete() && offset >= text_.Length()) {
        text_.Reach(offset);
        UpdateScrollRange();
        IndexTheRest();
    }
}

// After new text, as a text box does: the caret at the start, in sight.
void ReadingPane::ShowFromTheTop()
{
    anchor_ = position_ = 0;
    wantedX_.reset();
    ScrollTo(0);
    RestartBlink();
    emit TextChanged();
}

void ReadingPane::Replace(qsizetype from, qsizetype to, const QString& with)
{
    from = text_.Snapped(from);
    const QString removed = text_.Text().mid(from, std::max(from, text_.Snapped(to)) - from);
    text_.Replace(from, to, with);
    ReportPaneText(this, from, removed, with);
    layouts_.Clear();
    UpdateScrollRange();
    anchor_ = position_ = text_.Snapped(from + with.size());
    wantedX_.reset();
    ScrollTo(top_);
    EnsureCaretVisible();
    RestartBlink();
    emit TextChanged();
}

void ReadingPane::Type(const QString& typed)
{
    Replace(SelStart(), SelStart() + SelLength(), typed);
}

void ReadingPane::TypeKey(const QKeyEvent* event, int character)
{
    const bool shortcut = (event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier);
    if (event->matches(QKeySequence::Paste)) {
        Paste();
    } else if (event->matches(QKeySequence::Cut)) {
        Copy();
        DeleteForward(false);
    } else if (character == u'\b') {
        if (anchor_ != position_)
            DeleteForward(false);
        else
            Replace(lines_.PreviousPosition(position_, false), position_, QString());
    } else if (!shortcut && character >= u' ' && character != 0x7f) {
        const QString text = event->text();
        Type(character == text.front().unicode() ? text : QString(QChar(character)));
    }
}

void ReadingPane::DeleteForward(bool word)
{
    if (anchor_ != position_)
        Replace(SelStart(), SelStart() + SelLength(), QString());
    else if (const qsizetype end = lines_.NextPosition(position_, word); end > position_)
        Replace(position_, end, QString());
}

void ReadingPane::Copy() const
{
    if (anchor_ != position_)
        QGuiApplication::clipboard()->setText(SelectedText());
}

void ReadingPane::CopyToSelectionClipboard() const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (anchor_ != position_ && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

void ReadingPane::Paste()
{
    const QString pasted = QGuiApplication::clipboard()->text();
    if (!pasted.isEmpty())
        Type(pasted);
}

// ---- Caret and selection ----

qsizetype ReadingPane::SelStart() const
{
    return std::min(anchor_, position_);
}

void ReadingPane::SetSelStart(qsizetype offset)
{
    Reach(offset);
    wantedX_.reset();
    MoveCaret(text_.Snapped(offset), false);
}

qsizetype ReadingPane::SelLength() const
{
    return std::max(anchor_, position_) - SelStart();
}

void ReadingPane::SetSelLength(qsizetype length)
{
    const qsizetype start = SelStart();
    Reach(start + length);
    wantedX_.reset();
    anchor_ = start;
    MoveCaret(text_.Snapped(start + std::max<qsizetype>(length, 0)), true);
}

QString ReadingPane::SelectedText() const
{
    return text_.WithSingleBreaks(SelStart(), SelStart() + SelLength());
}

void ReadingPane::MoveCaret(qsizetype position, bool select)
{
    position_ = position;
    if (!select)
        anchor_ = position;
    EnsureCaretVisible();
    RestartBlink();
}

void ReadingPane::EnsureCaretVisible()
{
    const VisualLine line = lines_.At(position_);
    const qreal height = ViewHeight();
    if (line.Start() < top_) {
        ScrollTo(line.Start());
        return;
    }
    const std::optional<qreal> y = lines_.YInView(top_, line, height);
    if (y && (*y + line.Height() <= height || *y <= PaneLines::FirstLineY(top_)))
        return;
    // On the last page the view stops where the scroll bar does.
    ScrollTo(line.Start() >= lastTop_ ? lastTop_ : lines_.TopShowingAtBottom(line, height));
}

void ReadingPane::RestartBlink()
{
    caretShown_ = hasFocus();
    const int flashTime = QApplication::cursorFlashTime();
    if (caretShown_ && flashTime >= 2)
        blinkTimer_.start(flashTime / 2, this);
    else
        blinkTimer_.stop();
    viewport()->update();
    updateMicroFocus();
    ReportCaret();
}

// Every caret move and selection change ends in RestartBlink, which tells
// screen readers once per change.
void ReadingPane::ReportCaret()
{
    if (anchor_ == reportedAnchor_ && position_ == reportedPosition_)
        return;
    const bool selectionChanged = anchor_ != position_ || reportedAnchor_ != reportedPosition_;
    reportedAnchor_ = anchor_;
    reportedPosition_ = position_;
    ReportPaneCaret(this, anchor_, position_, selectionChanged);
}

QRectF ReadingPane::CaretRect() const
{
    const VisualLine line = lines_.At(position_);
    const std::optional<qreal> y = lines_.YInView(top_, line, ViewHeight());
    if (!y)
        return {};
    return {line.XOf(position_) - 1, *y, 3, line.Height()};
}

qsizetype ReadingPane::VerticalMove(qsizetype offset, int lines)
{
    const VisualLine line = lines_.At(offset);
    if (!wantedX_)
        wantedX_ = line.XOf(offset);
    const std::optional<VisualLine> target = lines > 0 ? lines_.Next(line) : lines_.Previous(line);
    return target ? target->OffsetAtX(*wantedX_) : offset;
}

// As in a text box: the view moves a page and the caret keeps its place
// on screen; with nowhere left to scroll it goes to the last or first line.
qsizetype ReadingPane::PageMove(bool down)
{
    EnsureCaretVisible();
    const qreal height = ViewHeight();
    const VisualLine line = lines_.At(position_);
    // How far below the first line on screen the caret's line is.
    const qreal below = lines_.YInView(top_, line, height).value_or(0) - PaneLines::FirstLineY(top_);
    if (!wantedX_)
        wantedX_ = line.XOf(position_);
    const qsizetype before = top_;
    ScrollTo(down ? lines_.PageBelow(top_, height) : lines_.PageAbove(top_, height));
    if (top_ == before)
        return lines_.At(down ? Length() : 0).OffsetAtX(*wantedX_);
    return lines_.OffsetAt(top_, QPointF(*wantedX_, PaneLines::FirstLineY(top_) + below + 1));
}

bool ReadingPane::PageDown()
{
    const qsizetype before = top_;
    const qsizetype below = lines_.PageBelow(top_, ViewHeight());
    const qsizetype withContext = lines_.Scrolled(below, -1);
    ScrollTo(std::min(withContext > top_ ? withContext : below, lastTop_));
    return top_ != before;
}

bool ReadingPane::PageUp()
{
    const qsizetype before = top_;
    ScrollTo(lines_.TopShowingAtBottom(lines_.At(top_), ViewHeight()));
    return top_ != before;
}

bool ReadingPane::ScrollLines(qsizetype count)
{
    const qsizetype before = top_;
    ScrollTo(std::min(lines_.Scrolled(top_, count), lastTop_));
    return top_ != before;
}

bool ReadingPane::MoveByKey(QKeyEvent* event)
{
    enum class Move {
        NextCharacter,
        PreviousCharacter,
        NextWord,
        PreviousWord,
        NextLine,
        PreviousLine,
        NextPage,
        PreviousPage,
        LineStart,
        LineEnd,
        TextStart,
        TextEnd
    };
    struct Binding {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Move what;
    };
    static constexpr Binding kBindings[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Move::NextCharacter},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Move::PreviousCharacter},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Move::NextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Move::PreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Move::NextLine},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Move::PreviousLine},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Move::NextPage},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Move::PreviousPage},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Move::LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Move::LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Move::TextStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Move::TextEnd},
    };
    for (const Binding& binding : kBindings) {
        const bool select = event->matches(binding.select);
        if (!select && !event->matches(binding.move))
            continue;
        qsizetype to = position_;
        switch (binding.what) {
        case Move::NextCharacter: to = lines_.NextPosition(position_, false); break;
        case Move::PreviousCharacter: to = lines_.PreviousPosition(position_, false); break;
        case Move::NextWord: to = lines_.NextPosition(position_, true); break;
        case Move::PreviousWord: to = lines_.PreviousPosition(position_, true); break;
        case Move::NextLine: to = VerticalMove(position_, 1); break;
        case Move::PreviousLine: to = VerticalMove(position_, -1); break;
        case Move::NextPage: to = PageMove(true); break;
        case Move::PreviousPage: to = PageMove(false); break;
        case Move::LineStart: to = lines_.At(position_).Start(); break;
        case Move::LineEnd: to = lines_.EndOfLine(position_); break;
        case Move::TextStart: to = 0; break;
        case Move::TextEnd:
            Reach(Text().size());
            to = Length();
            break;
        }
        const bool vertical = binding.what == Move::NextLine || binding.what == Move::PreviousLine
            || binding.what == Move::NextPage || binding.what == Move::PreviousPage;
        if (!vertical)
            wantedX_.reset();
        MoveCaret(to, select);
        return true;
    }
    return false;
}

// ---- Scrolling ----

qreal ReadingPane::ViewHeight() const
{
    return viewport()->height();
}

qsizetype ReadingPane::ScrollUnit() const
{
    // The scroll bar counts in int: a text too long for it counts in steps.
    return 1 + Length() / INT_MAX;
}

void ReadingPane::SetTypography(const PaneTypography& typography)
{
    if (typography == layouts_.Typography())
        return;
    layouts_.SetTypography(typography);
    Relayout();
    viewport()->update();
}

void ReadingPane::Relayout()
{
    layouts_.SetGeometry(font(), viewport(), viewport()->width());
    UpdateScrollRange();
    SetTop(scrollTarget_);
}

void ReadingPane::UpdateScrollRange()
{
    const qreal height = ViewHeight();
    // Until the whole text is indexed its last page is not known: the view
    // may go as far as the text indexed. That needs no layout: laying out
    // the line there at every slice of indexing would load glyphs nobody
    // sees. (SetTop still puts the top at the start of a line.)
    lastTop_ = text_.Complete() ? lines_.LastTop(height) : text_.Length();
    const qsizetype unit = ScrollUnit();
    const qsizetype page = std::max<qsizetype>(1, lines_.CharactersShown(0, height));
    const qsizetype linesPerPage = std::max<qsizetype>(1, qsizetype(height / QFontMetricsF(font()).lineSpacing()));
    QScrollBar* bar = verticalScrollBar();
    syncingScrollBar_ = true;
    bar->setRange(0, ToInt(lastTop_ / unit));
    bar->setPageStep(ToInt(std::max<qsizetype>(1, page / unit)));
    bar->setSingleStep(ToInt(std::max<qsizetype>(1, page / linesPerPage / unit)));
    syncingScrollBar_ = false;
    if (top_ > lastTop_)
        SetTop(lastTop_);
}

void ReadingPane::ScrollToOffset(qsizetype offset)
{
    Reach(offset);
    scrollTarget_ = text_.Snapped(offset);
    SetTop(scrollTarget_);
}

void ReadingPane::CenterOnOffset(qsizetype offset)
{
    Reach(offset);
    const VisualLine line = lines_.At(text_.Snapped(offset));
    // The top that shows the line as the last of a view half as high.
    const qsizetype top = lines_.TopShowingAtBottom(line, (ViewHeight() + line.Height()) / 2);
    ScrollTo(std::min(top, lastTop_));
}

void ReadingPane::ScrollTo(qsizetype offset)
{
    scrollTarget_ = offset;
    SetTop(offset);
}

void ReadingPane::SetTop(qsizetype offset)
{
    top_ = std::min(lines_.At(offset).Start(), lastTop_);
    if (!verticalScrollBar()->isSliderDown())
        SyncScrollBar();
    viewport()->update();
}

void ReadingPane::SyncScrollBar()
{
    syncingScrollBar_ = true;
    verticalScrollBar()->setValue(ToInt(top_ / ScrollUnit()));
    syncingScrollBar_ = false;
}

void ReadingPane::scrollContentsBy(int, int)
{
    // The user moved the scroll bar: the line at its place comes to the top.
    if (!syncingScrollBar_)
        ScrollTo(qsizetype(verticalScrollBar()->value()) * ScrollUnit());
}

// Steps of the scroll bar's arrows and trough go by lines and pages.
void ReadingPane::OnScrollAction(int action)
{
    qsizetype target = top_;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: target = lines_.Scrolled(top_, 1); break;
    case QAbstractSlider::SliderSingleStepSub: target = lines_.Scrolled(top_, -1); break;
    case QAbstractSlider::SliderPageStepAdd: target = lines_.PageBelow(top_, ViewHeight()); break;
    case QAbstractSlider::SliderPageStepSub: target = lines_.PageAbove(top_, ViewHeight()); break;
    default: return;
    }
    verticalScrollBar()->setSliderPosition(ToInt(std::min(target, lastTop_) / ScrollUnit()));
}

// ---- Events ----

bool ReadingPane::focusNextPrevChild(bool)
{
    // Tab is a typed character here, as in any multi-line text box.
    return false;
}

void ReadingPane::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    QRect clip = event->rect();
    // The right margin stays clear, as in a text box.
    clip.setRight(std::min(clip.right(), viewport()->width() - static_cast<int>(PaneLayouts::kMargin) + 1));
    painter.setClipRect(clip);
    painter.setPen(palette().text().color());

    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    const qsizetype selectionStart = SelStart();
    const qsizetype selectionEnd = SelStart() + SelLength();
    const PaneSegment caretSegment = text_.SegmentAt(position_);

    const VisualLine first = lines_.At(top_);
    qreal origin = PaneLines::FirstLineY(top_) - first.Top();
    std::shared_ptr<const LaidSegment> laid = first.laid;
    const qreal bottom = ViewHeight();
    for (;;) {
        const PaneSegment& segment = laid->segment;
        QList<QTextLayout::FormatRange> selections;
        if (selectionStart < selectionEnd && selectionStart < segment.end && selectionEnd > segment.start) {
            QTextLayout::FormatRange range;
            range.start = ToInt(std::max(selectionStart, segment.start) - segment.start);
            range.length = ToInt(std::min(selectionEnd, segment.end) - segment.start) - range.start;
            range.format = selected;
            selections.append(range);
        }
        const QPointF at(0, origin);
        laid->layout.draw(&painter, at, selections, clip);
        if (caretShown_ && caretSegment == segment)
            laid->layout.drawCursor(&painter, at, ToInt(position_ - segment.start), 1);
        origin += laid->height;
        if (origin > bottom)
            break;
        const std::optional<PaneSegment> next = text_.NextSegment(segment);
        if (!next)
            break;
        laid = layouts_.Get(text_, *next);
    }
}

void ReadingPane::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (viewport()->width() != layouts_.Width()) {
        Relayout();
    } else {
        UpdateScrollRange();
        SetTop(scrollTarget_);
    }
}

void ReadingPane::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange)
        Relayout();
    else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        viewport()->update();
}

void ReadingPane::keyPressEvent(QKeyEvent* event)
{
    // Copying and selecting change no text: they work whatever the key
    // handler does with typed characters.
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        Reach(Text().size());
        anchor_ = 0;
        MoveCaret(Length(), true);
        return;
    }
    // Delete keeps its normal effect: the pane is not locked.
    if (event->key() == Qt::Key_Delete) {
        if (event->matches(QKeySequence::Cut)) {
            Copy();
            DeleteForward(false);
        } else {
            DeleteForward(event->matches(QKeySequence::DeleteEndOfWord));
        }
        return;
    }
    // Shift+Insert pastes: it types no character, as in any text box.
    if (event->text().isEmpty() && event->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    // Enter chooses the caret's line; it is typed too, and never inserted.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        int character = u'\r';
        emit KeyPress(character);
        emit LineActivated(text_.LineOf(position_));
        return;
    }
    // Keys that type a character go through the key-press handler first;
    // what it lets through is typed as in a text box.
    const QString typed = event->text();
    if (!typed.isEmpty()) {
        int character = typed.front().unicode();
        emit KeyPress(character);
        if (character != 0)
            TypeKey(event, character);
        return;
    }
    if (!MoveByKey(event))
        QAbstractScrollArea::keyPressEvent(event);
}

void ReadingPane::inputMethodEvent(QInputMethodEvent* event)
{
    // Text composed by an input method is typed text too.
    const QString committed = event->commitString();
    if (!committed.isEmpty()) {
        int character = committed.front().unicode();
        emit KeyPress(character);
        if (character != 0)
            Type(character == committed.front().unicode() ? committed : QString(QChar(character)));
    }
    event->accept();
}

QVariant ReadingPane::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const PaneSegment segment = text_.SegmentAt(position_);
    switch (query) {
    case Qt::ImEnabled: return isEnabled();
    case Qt::ImCursorRectangle: return CaretRect().translated(viewport()->pos()).toRect();
    case Qt::ImFont: return font();
    case Qt::ImSurroundingText: return Text().mid(segment.start, segment.Length());
    case Qt::ImCursorPosition: return ToInt(position_ - segment.start);
    case Qt::ImAnchorPosition: return ToInt(std::clamp(anchor_, segment.start, segment.end) - segment.start);
    case Qt::ImCurrentSelection: return SelLength() <= kInputMethodSelectionLimit ? SelectedText() : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void ReadingPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    selecting_ = true;
    mousePoint_ = event->position();
    wantedX_.reset();
    MoveCaret(lines_.OffsetAt(top_, mousePoint_), event->modifiers() & Qt::ShiftModifier);
}

void ReadingPane::mouseMoveEvent(QMouseEvent* event)
{
    if (!selecting_ || !(event->buttons() & Qt::LeftButton))
        return;
    mousePoint_ = event->position();
    position_ = lines_.OffsetAt(top_, mousePoint_);
    // Outside the view the selection goes on as the view scrolls.
    if (viewport()->rect().contains(mousePoint_.toPoint()))
        autoScrollTimer_.stop();
    else if (!autoScrollTimer_.isActive())
        autoScrollTimer_.start(100, this);
    RestartBlink();
}

void ReadingPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !selecting_)
        return;
    selecting_ = false;
    autoScrollTimer_.stop();
    EnsureCaretVisible();
    CopyToSelectionClipboard();
}

void ReadingPane::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qsizetype offset = lines_.OffsetAt(top_, event->position());
    const auto [start, end] = lines_.WordAt(offset);
    anchor_ = start;
    MoveCaret(end, true);
    CopyToSelectionClipboard();
    emit LineActivated(text_.LineOf(offset));
}

void ReadingPane::wheelEvent(QWheelEvent* event)
{
    const QPoint pixels = event->pixelDelta();
    if (!pixels.isNull())
        wheelLines_ -= pixels.y() / QFontMetricsF(font()).lineSpacing();
    else
        wheelLines_ -= event->angleDelta().y() / 120.0 * QApplication::wheelScrollLines();
    const auto whole = static_cast<qsizetype>(wheelLines_);
    wheelLines_ -= static_cast<qreal>(whole);
    if (whole != 0)
        ScrollTo(std::min(lines_.Scrolled(top_, whole), lastTop_));
    event->accept();
}

void ReadingPane::contextMenuEvent(QContextMenuEvent* event)
{
    // The commands of a text box's own menu, in its words.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [&](const char* caption, QKeySequence::StandardKey key, bool enabled, auto command) {
        QString text = QCoreApplication::translate("QWidgetTextControl", caption);
        if (key != QKeySequence::UnknownKey)
            text += u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(text);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, command);
    };
    const bool selected = anchor_ != position_;
    add("Cu&t", QKeySequence::Cut, selected, [this] {
        Copy();
        DeleteForward(false);
    });
    add("&Copy", QKeySequence::Copy, selected, [this] { Copy(); });
    add("&Paste", QKeySequence::Paste, !QGuiApplication::clipboard()->text().isEmpty(), [this] { Paste(); });
    add("Delete", QKeySequence::UnknownKey, selected, [this] { DeleteForward(false); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, Length() > 0, [this] {
        Reach(Text().size());
        anchor_ = 0;
        MoveCaret(Length(), true);
    });
    const bool fromMouse = event->reason() == QContextMenuEvent::Mouse;
    emit MenuOpening(menu, fromMouse ? lines_.OffsetAt(top_, event->pos()) : position_);
    menu->popup(event->globalPos());
}

void ReadingPane::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    RestartBlink();
}

void ReadingPane::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    RestartBlink();
}

void ReadingPane::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == indexTimer_.timerId()) {
        const qsizetype indexed = text_.Length();
        text_.IndexMore(QDeadlineTimer(PaneText::kSliceMilliseconds));
        UpdateScrollRange();
        IndexTheRest();
        // Only a view that reached the end of what was indexed shows more.
        if (top_ + lines_.CharactersShown(top_, ViewHeight()) >= indexed)
            viewport()->update();
    } else if (event->timerId() == blinkTimer_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(CaretRect().toAlignedRect());
    } else if (event->timerId() == autoScrollTimer_.timerId()) {
        const qreal height = ViewHeight();
        if (mousePoint_.y() < 0)
            ScrollTo(lines_.Scrolled(top_, -1));
        else if (mousePoint_.y() >= height)
            ScrollTo(std::min(lines_.Scrolled(top_, 1), lastTop_));
        const QPointF inView(mousePoint_.x(), std::clamp<qreal>(mousePoint_.y(), 0, std::max<qreal>(0, height - 1)));
        position_ = lines_.OffsetAt(top_, inView);
        RestartBlink();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}
