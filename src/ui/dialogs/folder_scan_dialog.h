#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;
class ReaderView;

// The folder scan: pick a drive and a folder, then every .txt file of that
// folder opens as a book, one after the other.
class FolderScanDialog : public QWidget {
    Q_OBJECT
public:
    explicit FolderScanDialog(ReaderView& view);

    // The folder the folder tree stands on: the one a scan opens.
    QString FolderPath() const;
    void SetFolderPath(const QString& path);
    // Back to the process's current drive and folder.
    void StartAtCurrentFolder();
    bool Scanning() const { return scans_ > 0; }

    QComboBox& DriveList() const { return *driveList; }
    QPushButton& ScanButton() const { return *scanButton; }
    QPushButton& CancelButton() const { return *cancelButton; }

public slots:
    void OnDriveChosen();
    void Scan();
    void Cancel();

private:
    ReaderView& view_;
    QFileSystemModel* folders_;
    int scans_ = 0;

    QComboBox* driveList;
    QTreeView* folderTree;
    QPushButton* scanButton;
    QPushButton* cancelButton;
};
