// The main window's size, place and maximised state, kept between starts.

#include "ui/main_window/main_window.h"
#include "ui/platform/user_settings.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");

}  // namespace

void MainWindow::PlaceWindow()
{
    // Maximised the first time; without a window manager to do it, fill
    // the screen ourselves.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        setMinimumSize(std::min(kSmallestWindow.width(), available.width()),
                       std::min(kSmallestWindow.height(), available.height()));
        setGeometry(available);
    }
    // A window left smaller than the screen comes back as it was; one left
    // maximised is maximised anew, for the screen of this start.
    const QByteArray saved = UserSettings(folders_)->value(kGeometryKey).toByteArray();
    if (saved.isEmpty() || !restoreGeometry(saved))
        setWindowState(Qt::WindowMaximized);
    LayOut();
}

void MainWindow::SaveWindowPlace()
{
    const auto settings = UserSettings(folders_);
    if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        settings->remove(kGeometryKey);
    else
        settings->setValue(kGeometryKey, saveGeometry());
}
