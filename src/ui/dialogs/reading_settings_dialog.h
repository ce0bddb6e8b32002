#pragma once

#include "ui/dialogs/reading_settings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QFontComboBox;
class QSpinBox;
class QTabWidget;

// 设置: the font, spacing, margins, text column and justification of the
// page (阅读), and pages the window adds (同步). Every change is shown on the page at once (Changed); the caller
// keeps what was chosen when the dialog is accepted and goes back to what
// was before when it is not.
class ReadingSettingsDialog : public QDialog {
    Q_OBJECT
public:
    ReadingSettingsDialog(const ReadingSettings& current, QWidget* parent);
    ReadingSettings Settings() const;
    // A page of settings of another kind (同步), kept by the caller.
    void AddPage(QWidget* page, const QString& title);
    void ShowPage(QWidget* page);

signals:
    void Changed(const ReadingSettings& settings);

private:
    QCheckBox* skinFontBox;
    QFontComboBox* fontChoice;
    QSpinBox* lineSpacingBox;
    QDoubleSpinBox* paragraphSpacingBox;
    QSpinBox* marginBox;
    QSpinBox* lineCharactersBox;
    QSpinBox* indentBox;
    QCheckBox* justifiedBox;
    QCheckBox* continueBox;
    QTabWidget* pages;
};
