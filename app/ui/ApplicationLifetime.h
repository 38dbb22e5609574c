#pragma once

// How the program ends. Quit (the menu, Ctrl+Q, the end of the desktop
// session, SIGTERM, SIGINT, SIGHUP) always ends the event loop, and the
// settings are saved before the process goes: no window can refuse it. Only
// the main window's close button and the close command hide the program.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace Tessivo::ui {

class ApplicationLifetime : public QObject {
    Q_OBJECT
public:
    explicit ApplicationLifetime(QObject* parent = nullptr);
    ~ApplicationLifetime() override;

    // Turns SIGTERM, SIGINT and SIGHUP into Quit (once per process: the
    // handlers stay until this object goes). False when they could not be
    // installed; the signals then end the process the ordinary way.
    bool handleTerminationSignals();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restoreSignals();

    std::unique_ptr<QSocketNotifier> signalNotifier_;
    int signalPipe_[2] = {-1, -1};
};

} // namespace Tessivo::ui
