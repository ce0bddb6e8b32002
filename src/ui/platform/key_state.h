#pragma once

#include <QObject>
#include <QSet>

// Which keys are held down in any window of this program, for polling.
// Keys typed in other programs are not seen: that is neither possible on
// every desktop nor safe. Auto-repeat releases are ignored, and everything
// is released when the program loses the focus. A key pressed and released
// between two polls still counts as down once, so a quick tap is never lost.
class KeyState : public QObject {
    Q_OBJECT
public:
    explicit KeyState(QObject* parent = nullptr);

    // Virtual-key codes: 33 Page Up, 34 Page Down, 36 Home.
    static constexpr int kPageUp = 33;
    static constexpr int kPageDown = 34;
    static constexpr int kHome = 36;

    // Down now, or tapped since the last time this key was asked about.
    bool KeyIsDown(int virtualKey);
    // For tests and for synthetic input.
    void SetDown(int virtualKey, bool down);
    void ReleaseAll()
    {
        down_.clear();
        tapped_.clear();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<int> down_;    // Qt key codes
    QSet<int> tapped_;  // pressed since last asked about
};
