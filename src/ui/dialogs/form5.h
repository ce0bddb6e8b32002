#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QTreeView>
#include <QWidget>

class Form4;
class QFileSystemModel;

// The folder scan: pick a drive and a folder, then every .txt file of that
// folder opens as a book, one after the other.
class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(Form4& main);

    QComboBox* Drive1;
    QTreeView* Dir1;
    QPushButton* Command1;
    QPushButton* Command2;

    // The folder the folder list stands on.
    QString DirPath() const;
    void SetDirPath(const QString& path);
    // Back to the process's current drive and folder.
    void StartAtCurrentFolder();
    bool Scanning() const { return scans_ > 0; }

public slots:
    void Drive1_Change();
    void Command1_Click();
    void Command2_Click();

private:
    Form4& main_;
    QFileSystemModel* folders_;
    int scans_ = 0;
};
