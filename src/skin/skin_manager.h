#pragma once

#include "skin/skin_manager_core.h"

#include <QPalette>
#include <QWidget>

#include <array>

class Form4;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The skin manager: lists the skins, shows the sixteen settings of the one
// chosen, lets the user change them with the pickers and saves them as a
// skin file. It does not block the main window. Closing it hides it; the
// next opening reads the skin folder again.
class SSkin : public QWidget {
    Q_OBJECT
public:
    explicit SSkin(Form4& main);

    QLabel* Label1;
    QLabel* Label2;
    QListWidget* List1;
    QPushButton* Command2;
    QPushButton* Command1;
    QLabel* Label3;
    QLineEdit* Text1;
    QCheckBox* Check1;
    std::array<QLineEdit*, kSkinFieldCount> Text2;
    std::array<QLabel*, kSkinFieldCount> Label4;

    // The opening steps: the dialog as made, the skin table read again from
    // the folder, the list filled and its first skin shown.
    void Form_Load();

public slots:
    void ShowSkinFields();
    void Check1_Click();
    void Text2_Change(int index);
    void PickFieldValue(int index);
    void SaveSkin();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form4& main_;
    QPalette fieldPalette_;  // a field's colours before any preview
};
