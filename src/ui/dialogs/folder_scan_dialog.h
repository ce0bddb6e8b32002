#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTimer;
class Prompter;
class QTreeView;
class Reader;

// The folder scan: pick a drive and a folder, then every .txt file of that
// folder opens as a book, one after the other.
class FolderScanDialog : public QWidget {
    Q_OBJECT
public:
    FolderScanDialog(Reader& reader, Prompter& prompter, QWidget* parent);

    // The folder the folder tree stands on: the one a scan opens.
    QString FolderPath() const;
    void SetFolderPath(const QString& path);
    // Back to the drive and folder the last book was chosen in.
    void StartAtCurrentFolder();
    bool Scanning() const { return scans_ > 0; }

    QComboBox& DriveList() const { return *driveList; }
    QPushButton& ScanButton() const { return *scanButton; }
    QPushButton& CancelButton() const { return *cancelButton; }

    QTreeView& FolderTree() const { return *folderTree; }

public slots:
    void OnDriveChosen();
    void Scan();
    void Cancel();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void KeepCurrentFolderInSight();
    void Scanned(int opened, int leftOut);

    Reader& reader_;
    Prompter& prompter_;
    QFileSystemModel* folders_;
    QTimer* rescroll_;
    bool followCurrent_ = true;  // until the user moves in the tree
    int scans_ = 0;

    QComboBox* driveList;
    QTreeView* folderTree;
    QPushButton* scanButton;
    QPushButton* cancelButton;
};
