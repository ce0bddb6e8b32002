#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// Every message box and picker goes through here, so tests answer them
// without a nested modal loop. `over` is the window asking: the box or
// picker belongs to it and keeps it in front of the main window (null: the
// main window).
class Prompter {
public:
    enum class Icon { Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompter() = default;

    virtual Answer Message(const QString& text, const QString& caption, Icon icon, Buttons buttons = Buttons::Ok,
                           QWidget* over = nullptr) = 0;
    // `filter` is written the classic way: "文本文件|*.txt|JPG文件|*.jpg";
    // the picker starts on its entry `startFilter` (0 = the first).
    virtual std::optional<QString> OpenFile(const QString& filter, int startFilter = 0, QWidget* over = nullptr) = 0;
    virtual std::optional<QString> SaveFile(const QString& filter) = 0;
    virtual std::optional<QColor> PickColour(QWidget* over = nullptr) = 0;
    virtual std::optional<QFont> PickFont(QWidget* over = nullptr) = 0;
    virtual std::optional<QString> PickFolder(const QString& start)
    {
        (void)start;
        return std::nullopt;
    }
};

// The real dialogs.
class DialogPrompter : public Prompter {
public:
    explicit DialogPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    Answer Message(const QString& text, const QString& caption, Icon icon, Buttons buttons, QWidget* over) override;
    std::optional<QString> OpenFile(const QString& filter, int startFilter, QWidget* over) override;
    std::optional<QString> SaveFile(const QString& filter) override;
    std::optional<QColor> PickColour(QWidget* over) override;
    std::optional<QFont> PickFont(QWidget* over) override;

private:
    QWidget* Owner(QWidget* over) const { return over ? over : parent_; }

    QWidget* parent_;
};

// "文本文件|*.txt" -> "文本文件 (*.txt)", the form Qt's file dialogs take.
QString QtFileFilter(const QString& classicFilter);
// Entry `index` of a classic filter in Qt's form; empty when there is none.
QString QtFileFilterEntry(const QString& classicFilter, int index);
