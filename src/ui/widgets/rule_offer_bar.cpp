#include "ui/widgets/rule_offer_bar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

RuleOfferBar::RuleOfferBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ruleOfferBar"));
    // The window's own colours, inherited, filled in: the skin shows through
    // the bar's colours, not the pictures under it.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setFocusPolicy(Qt::NoFocus);

    offerText = new QLabel(this);
    offerText->setObjectName(QStringLiteral("offerText"));
    offerText->setWordWrap(true);
    offerText->setTextFormat(Qt::PlainText);
    acceptButton = new QPushButton(QStringLiteral("使用"), this);
    acceptButton->setObjectName(QStringLiteral("acceptButton"));
    declineButton = new QPushButton(QStringLiteral("不用"), this);
    declineButton->setObjectName(QStringLiteral("declineButton"));
    closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setText(QStringLiteral("×"));
    closeButton->setToolTip(QStringLiteral("关闭"));
    closeButton->setAccessibleName(QStringLiteral("关闭"));
    closeButton->setAutoRaise(true);
    for (QWidget* button : {static_cast<QWidget*>(acceptButton), static_cast<QWidget*>(declineButton),
                            static_cast<QWidget*>(closeButton)})
        button->setFocusPolicy(Qt::TabFocus);

    const int gap = fontMetrics().height() / 2;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(gap, gap / 2, gap / 2, gap / 2 + 1);  // + 1: the line under the bar
    layout->setSpacing(gap);
    layout->addWidget(offerText, 1);
    layout->addWidget(acceptButton);
    layout->addWidget(declineButton);
    layout->addWidget(closeButton);

    connect(acceptButton, &QPushButton::clicked, this, [this] { Answer(true); });
    connect(declineButton, &QPushButton::clicked, this, [this] { Answer(false); });
    connect(closeButton, &QToolButton::clicked, this, [this] { Answer(false); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (now && isAncestorOf(now) && old && !isAncestorOf(old))
            focusBefore_ = old;
    });
    hide();
}

void RuleOfferBar::Offer(const QString& text)
{
    offerText->setText(text);
    show();
}

QString RuleOfferBar::Text() const
{
    return offerText->text();
}

void RuleOfferBar::keyPressEvent(QKeyEvent* event)
{
    // Reached only when a button of the bar has the keys (by Tab).
    if (event->key() == Qt::Key_Escape) {
        Answer(false);
        return;
    }
    QFrame::keyPressEvent(event);
}

void RuleOfferBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    // A hairline between the bar and the text under it, in the window's
    // text colour faded.
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.25f);
    painter.setPen(line);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

void RuleOfferBar::Answer(bool accepted)
{
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    if (hadFocus && focusBefore_)
        focusBefore_->setFocus(Qt::OtherFocusReason);
    if (accepted)
        emit Accepted();
    else
        emit Declined();
}
