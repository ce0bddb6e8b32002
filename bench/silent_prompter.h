#pragma once

#include "ui/platform/prompter.h"

// Answers every box with Yes (or OK) and cancels every picker, so a
// benchmark never waits for a user.
class SilentPrompter : public Prompter {
public:
    Answer Message(const QString&, const QString&, Icon, Buttons, QWidget*) override { return Answer::Yes; }
    std::optional<QString> OpenFile(const QString&, int, QWidget*) override { return std::nullopt; }
    std::optional<QString> SaveFile(const QString&) override { return std::nullopt; }
    std::optional<QColor> PickColour(QWidget*) override { return std::nullopt; }
    std::optional<QFont> PickFont(QWidget*) override { return std::nullopt; }
    std::optional<QString> PickFolder(const QString&) override { return std::nullopt; }
};
