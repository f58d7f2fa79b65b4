// The event loop, timer controls, the end-task request (SIGTERM) and the mouse cursor.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"

#include <QApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace ui {
namespace {

MainCallbackPtr mainCallback = nullptr;
void* mainCallbackData = nullptr;
QEventLoop* runningLoop = nullptr;
std::optional<int> pendingQuit; // asked for while no loop ran
bool timersSuspended = false;
int cursor = VAL_DEFAULT_CURSOR;
int endTaskPipe[2] = {-1, -1};

void OnSigterm(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the loop reads the pipe and calls back.
    [[maybe_unused]] const ssize_t n = write(endTaskPipe[1], &byte, 1);
}

void DrainEndTaskPipe() {
    char bytes[16];
    while (read(endTaskPipe[0], bytes, sizeof bytes) > 0) {}
    EndTask();
}

// SIGTERM is turned into EVENT_END_TASK only while the loop runs; otherwise it ends the process as usual.
class EndTaskWatch {
  public:
    EndTaskWatch() {
        if (endTaskPipe[0] < 0 && pipe2(endTaskPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
        notifier_ = new QSocketNotifier(endTaskPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, DrainEndTaskPipe);
        struct sigaction sa {};
        sa.sa_handler = OnSigterm;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, &previous_);
    }
    ~EndTaskWatch() {
        if (notifier_ == nullptr) return;
        sigaction(SIGTERM, &previous_, nullptr);
        delete notifier_;
    }
    EndTaskWatch(const EndTaskWatch&) = delete;
    EndTaskWatch& operator=(const EndTaskWatch&) = delete;

  private:
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_ {};
};

} // namespace

void EndTask() {
    // A callback that returns 0 lets the program end; 1 refuses.
    const int refused =
        mainCallback != nullptr ? mainCallback(0, 0, EVENT_END_TASK, mainCallbackData, 0, 0) : 0;
    if (refused == 0) QuitUserInterface(0);
}

void StartTimer(Control& c) {
    if (!c.timer) return;
    if (c.enabled && c.interval > 0)
        c.timer->start(static_cast<int>(std::max(1.0, c.interval * 1000.0)));
    else
        c.timer->stop();
}

bool TimerTick(int panel, int control) {
    Control* c = FindControl(panel, control, nullptr);
    // A tick that comes while the callback still runs (it opened a dialog or pumps events) is dropped.
    if (c == nullptr || c->kind != CTRL_TIMER || timersSuspended || !c->enabled || c->ticking) return false;
    c->ticking = true;
    SendCtrlEvent(panel, control, EVENT_TIMER_TICK, 0, 0);
    if (Control* still = FindControl(panel, control, nullptr)) still->ticking = false;
    return true;
}

} // namespace ui

int InstallMainCallback(MainCallbackPtr fn, void* callbackData, int /*invokeThreadSafe*/) {
    ui::mainCallback = fn;
    ui::mainCallbackData = callbackData;
    return UIE_NoError;
}

int RunUserInterface() {
    ui::EnsureApp();
    if (ui::pendingQuit) {
        const int code = *ui::pendingQuit;
        ui::pendingQuit.reset();
        return code;
    }
    const ui::EndTaskWatch watch;
    QEventLoop loop;
    ui::runningLoop = &loop;
    const int code = loop.exec();
    ui::runningLoop = nullptr;
    return code;
}

int QuitUserInterface(int code) {
    if (ui::runningLoop != nullptr)
        ui::runningLoop->exit(code);
    else
        ui::pendingQuit = code;
    return UIE_NoError;
}

int ProcessSystemEvents() {
    ui::EnsureApp();
    const ui::PumpScope pump(ui::PumpScope::Kind::Operation);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return UIE_NoError;
}

int WaitSystemEvents() {
    ui::EnsureApp();
    ui::SettleOpeningFocus(); // a popup opens for the user now, its choices as the program left them
    const ui::PumpScope pump(ui::PumpScope::Kind::Wait);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return UIE_NoError;
}

int ProcessDrawEvents() {
    ui::EnsureApp();
    // Delivers only the pending repaint requests: what changed is painted, nothing else is, no input is
    // read and no timer runs. A long operation calls this once per block, so it must cost no more than the
    // change it shows.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    return UIE_NoError;
}

int SuspendTimerCallbacks() {
    ui::timersSuspended = true;
    return UIE_NoError;
}

int ResumeTimerCallbacks() {
    ui::timersSuspended = false;
    return UIE_NoError;
}

int SetMouseCursor(int cursor) {
    if (cursor != VAL_DEFAULT_CURSOR && cursor != VAL_HOUR_GLASS_CURSOR) return UIE_BadValue;
    ui::EnsureApp();
    if (cursor == ui::cursor) return UIE_NoError;
    if (cursor == VAL_HOUR_GLASS_CURSOR)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    ui::cursor = cursor;
    return UIE_NoError;
}

int GetMouseCursor(int* cursor) {
    if (cursor == nullptr) return UIE_BadValue;
    *cursor = ui::cursor;
    return UIE_NoError;
}

int Beep() {
    ui::EnsureApp();
    QApplication::beep();
    return UIE_NoError;
}
