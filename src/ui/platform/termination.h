#pragma once

class QWidget;

// When the session ends or the reader is told to stop (SIGTERM, SIGHUP,
// SIGINT), close `window` the ordinary way, so its close handler saves what
// the reader must not lose. The signal handler only writes to a pipe; the
// window is closed from the event loop.
void CloseOnTerminationSignal(QWidget* window);

// The signal that asked the window to close, or 0 when none did: a close
// handler then has no user to show a message to.
int TerminationSignal();
