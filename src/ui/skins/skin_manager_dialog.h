#pragma once

#include "core/skins/skin_editing.h"

#include <QPalette>
#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Prompter;
class Reader;

// The skin manager: lists the skins, shows the sixteen settings of the one
// chosen, lets the user change them with the pickers and saves them as a
// skin file. It does not block the main window. Closing it hides it; the
// next opening reads the skin folder again.
class SkinManagerDialog : public QWidget {
    Q_OBJECT
public:
    SkinManagerDialog(Reader& reader, Prompter& prompter, QWidget* parent);

    // The opening steps: the dialog as made, the skin table read again from
    // the folder, the list filled and its first skin shown.
    void Reload();

    QListWidget& SkinList() const { return *skinList; }
    QLineEdit& SkinName() const { return *skinName; }
    QCheckBox& NewSkinBox() const { return *newSkinBox; }
    QLineEdit& FieldEdit(int index) const { return *fieldEdits.at(index); }
    QLabel& FieldLabel(int index) const { return *fieldLabels.at(index); }
    QPushButton& SaveButton() const { return *saveButton; }

public slots:
    void ShowSkinFields();
    void OnNewSkinBoxToggled();
    void PreviewFieldColour(int index);
    void PickFieldValue(int index);
    void SaveSkin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Reader& reader_;
    Prompter& prompter_;
    QPalette fieldPalette_;  // a field's colours before any preview

    QLabel* skinListLabel;
    QLabel* versionLabel;
    QListWidget* skinList;
    QPushButton* deleteButton;
    QPushButton* saveButton;
    QLabel* skinNameLabel;
    QLineEdit* skinName;
    QCheckBox* newSkinBox;
    std::array<QLineEdit*, kSkinFieldCount> fieldEdits;
    std::array<QLabel*, kSkinFieldCount> fieldLabels;
};
