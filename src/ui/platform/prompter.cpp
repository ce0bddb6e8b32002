#include "ui/platform/prompter.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QStringList>

Prompter::Answer DialogPrompter::Message(const QString& text, const QString& caption, Icon icon, Buttons buttons,
                                         QWidget* over)
{
    QMessageBox box(Owner(over));
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

std::optional<QString> DialogPrompter::OpenFile(const QString& filter, int startFilter, QWidget* over)
{
    QString selected = QtFileFilterEntry(filter, startFilter);
    const QString path =
        QFileDialog::getOpenFileName(Owner(over), QString(), QString(), QtFileFilter(filter), &selected);
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QString> DialogPrompter::SaveFile(const QString& filter)
{
    const QString path = QFileDialog::getSaveFileName(parent_, QString(), QString(), QtFileFilter(filter));
    return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

std::optional<QColor> DialogPrompter::PickColour(QWidget* over)
{
    const QColor colour = QColorDialog::getColor(Qt::black, Owner(over));
    return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
}

std::optional<QFont> DialogPrompter::PickFont(QWidget* over)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, Owner(over));
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

namespace {

QStringList QtFileFilters(const QString& classicFilter)
{
    const QStringList parts = classicFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' ')));
    return filters;
}

}  // namespace

QString QtFileFilter(const QString& classicFilter)
{
    return QtFileFilters(classicFilter).join(QStringLiteral(";;"));
}

QString QtFileFilterEntry(const QString& classicFilter, int index)
{
    return QtFileFilters(classicFilter).value(index);
}
