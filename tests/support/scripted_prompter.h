#pragma once

#include "ui/platform/prompter.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Answers message boxes and pickers the way a test scripted them, and
// records every message shown.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
        Buttons buttons;
        QWidget* over;
    };

    Answer Message(const QString& text, const QString& caption, Icon icon, Buttons buttons, QWidget* over) override
    {
        messages.push_back({text, caption, icon, buttons, over});
        if (onMessage)
            onMessage();
        if (buttons == Buttons::YesNo) {
            const bool yes = yesAnswers.empty() ? true : yesAnswers.front();
            if (!yesAnswers.empty())
                yesAnswers.pop_front();
            return yes ? Answer::Yes : Answer::No;
        }
        return Answer::Ok;
    }
    std::optional<QString> OpenFile(const QString& filter, int startFilter, QWidget* over) override
    {
        filters.append(filter);
        startFilters.append(startFilter);
        pickersOver.append(over);
        return Next(files);
    }
    std::optional<QString> SaveFile(const QString& filter) override
    {
        filters.append(filter);
        return Next(files);
    }
    std::optional<QColor> PickColour(QWidget* over) override
    {
        pickersOver.append(over);
        return Next(colours);
    }
    std::optional<QFont> PickFont(QWidget* over) override
    {
        pickersOver.append(over);
        return Next(fonts);
    }
    std::optional<QString> PickFolder(const QString&) override { return Next(folders); }

    QStringList Texts() const
    {
        QStringList texts;
        for (const Shown& shown : messages)
            texts.append(shown.text);
        return texts;
    }

    std::vector<Shown> messages;
    QStringList filters;
    QList<int> startFilters;      // of every file-open picker, in order
    QList<QWidget*> pickersOver;  // the window asking, of every open, colour and font picker
    std::deque<bool> yesAnswers;
    std::deque<std::optional<QString>> files;  // nullopt = Cancel
    std::deque<std::optional<QString>> folders;
    std::deque<std::optional<QColor>> colours;
    std::deque<std::optional<QFont>> fonts;
    std::function<void()> onMessage;

private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers)
    {
        std::optional<T> answer;
        if (!answers.empty()) {
            answer.swap(answers.front());
            answers.pop_front();
        }
        return answer;
    }
};
