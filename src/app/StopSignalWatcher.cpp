#include "app/StopSignalWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/StopSignals.h"

namespace velkor {

StopSignalWatcher::StopSignalWatcher(QObject* parent) : QObject(parent) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_readFd = ends[0];
        m_writeFd = ends[1];
        m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(m_readFd, bytes, sizeof bytes) > 0) {
            }
            emit stopped(stopSignal());
        });
    }
    // Without a pipe the signals are still noted; operations then stop at their next step.
    catchStopSignals(m_writeFd);
}

StopSignalWatcher::~StopSignalWatcher() {
    catchStopSignals(-1);
    m_notifier.reset();
    for (const int fd : {m_readFd, m_writeFd}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

}  // namespace velkor
