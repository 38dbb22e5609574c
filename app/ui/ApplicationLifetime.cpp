#include "app/ui/ApplicationLifetime.h"

#include "platform/defaults/UserDefaults.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QSessionManager>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace Tessivo::ui {

namespace {

constexpr int terminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The write end of the pipe that carries a termination signal to the event
// loop. A signal handler can reach nothing else: it only writes one byte.
std::atomic<int>& signalWriteEnd() {
    static std::atomic<int> fd{-1};
    return fd;
}

extern "C" void forwardSignal(int) {
    const int saved = errno;
    const int fd = signalWriteEnd().load(std::memory_order_relaxed);
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

// The platform's Quit binding, and Ctrl+Q where the platform has none.
bool isQuitKey(const QKeyEvent& key) {
    return key.matches(QKeySequence::Quit) ||
           QKeySequence(key.keyCombination()) == QKeySequence(Qt::ControlModifier | Qt::Key_Q);
}

void saveSettings() { (void)platform::UserDefaults::standard()->synchronize(); }

} // namespace

ApplicationLifetime::ApplicationLifetime(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
    // Settings are saved behind the user's edits: save what is left while
    // the program is still whole (a failure has printed its line).
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [] { saveSettings(); });
    // The session may end without asking the windows: save now. Nothing is
    // closed here, so no window can cancel the logout.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [](QSessionManager&) { saveSettings(); });
}

ApplicationLifetime::~ApplicationLifetime() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    restoreSignals();
}

bool ApplicationLifetime::handleTerminationSignals() {
    if (signalNotifier_) return true;
    if (::pipe2(signalPipe_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    int expected = -1;
    if (!signalWriteEnd().compare_exchange_strong(expected, signalPipe_[1])) {
        // Another object already carries the signals.
        restoreSignals();
        return false;
    }
    signalNotifier_ = std::make_unique<QSocketNotifier>(signalPipe_[0], QSocketNotifier::Read);
    connect(signalNotifier_.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(signalPipe_[0], bytes, sizeof bytes) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : terminationSignals) ::sigaction(signal, &action, nullptr);
    return true;
}

void ApplicationLifetime::restoreSignals() {
    if (signalNotifier_) {
        for (int signal : terminationSignals) ::signal(signal, SIG_DFL);
        signalWriteEnd().store(-1);
        signalNotifier_.reset();
    }
    for (int& fd : signalPipe_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

bool ApplicationLifetime::eventFilter(QObject* watched, QEvent* event) {
    // Qt asks every window to close first and gives up the quit when one
    // refuses, as the main window does (closing it hides the program).
    // Quit must not be refused: end the event loop directly.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
        QCoreApplication::exit(0);
        return true;
    }
    // A sheet (the reset confirmation, an alert, the mailing-list prompt)
    // blocks its window, and with it the menu's Quit shortcut: the key then
    // reaches the sheet as a plain key press. Quit must still work.
    if (event->type() == QEvent::KeyPress && isQuitKey(*static_cast<QKeyEvent*>(event))) {
        QCoreApplication::quit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Tessivo::ui
