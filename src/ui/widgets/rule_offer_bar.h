#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QPushButton;
class QToolButton;

// A quiet offer above the reading pane ("规则「…」识别出 7,437 章"): 使用,
// 不用, or the close box, which counts as 不用. It hides itself after
// either answer. It draws with the window's palette, so it follows the
// skin, and it never takes the keys from the reading pane: its buttons take
// the focus only by Tab, and give it back when the bar goes.
class RuleOfferBar : public QFrame {
    Q_OBJECT
public:
    explicit RuleOfferBar(QWidget* parent = nullptr);

    // Shows the bar with `text`, replacing any offer it shows.
    void Offer(const QString& text);
    QString Text() const;

signals:
    void Accepted();
    void Declined();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Answer(bool accepted);

    QLabel* offerText;
    QPushButton* acceptButton;
    QPushButton* declineButton;
    QToolButton* closeButton;
    QPointer<QWidget> focusBefore_;  // where the keys go back to when the bar hides
};
