#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// Every message box and picker goes through here, so tests answer them
// without a nested modal loop.
class Prompter {
public:
    enum class Icon { Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Prompter() = default;

    virtual Answer Message(const QString& text, const QString& caption, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // `filter` is written the classic way: "文本文件|*.txt|JPG文件|*.jpg".
    virtual std::optional<QString> OpenFile(const QString& filter) = 0;
    virtual std::optional<QString> SaveFile(const QString& filter) = 0;
    virtual std::optional<QColor> PickColour() = 0;
    virtual std::optional<QFont> PickFont() = 0;
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

    Answer Message(const QString& text, const QString& caption, Icon icon, Buttons buttons) override;
    std::optional<QString> OpenFile(const QString& filter) override;
    std::optional<QString> SaveFile(const QString& filter) override;
    std::optional<QColor> PickColour() override;
    std::optional<QFont> PickFont() override;

private:
    QWidget* parent_;
};

// "文本文件|*.txt" -> "文本文件 (*.txt)", the form Qt's file dialogs take.
QString QtFileFilter(const QString& classicFilter);
