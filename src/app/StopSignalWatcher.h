#pragma once
// The desktop's ear for SIGINT, SIGTERM and SIGHUP (the desktop sends SIGTERM at log-out): the
// signal handler wakes the event loop through a pipe, and the window then closes as File, Exit
// closes it.

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace velkor {

class StopSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit StopSignalWatcher(QObject* parent = nullptr);
    ~StopSignalWatcher() override;

signals:
    // A signal asked the program to end; `signal` is its number.
    void stopped(int signal);

private:
    int m_readFd = -1;
    int m_writeFd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace velkor
