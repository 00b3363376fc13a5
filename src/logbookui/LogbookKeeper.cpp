#include "logbookui/LogbookKeeper.h"

#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "base/AppError.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookScan.h"

namespace velkor {

LogbookKeeper::LogbookKeeper(std::string dataFolder, std::string archiveFolder, QObject* parent)
    : QObject(parent),
      m_dataFolder(std::move(dataFolder)),
      m_archiveFolder(std::move(archiveFolder)),
      m_timer(new QTimer(this)) {
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &LogbookKeeper::step);
}

LogbookKeeper::~LogbookKeeper() = default;

Logbook* LogbookKeeper::book() {
    if (!m_openTried) {
        m_openTried = true;
        try {
            m_book = std::make_unique<Logbook>(m_dataFolder + "/" + LogbookDatabaseName,
                                               m_dataFolder + "/" + LogbookJournalName);
            for (const std::string& message : m_book->opening().messages) {
                emit notice(QString::fromStdString(message));
            }
        } catch (const AppError& error) {
            m_openError = QString::fromStdString(error.description());
        } catch (const std::exception& error) {
            m_openError = QString::fromLocal8Bit(error.what());
        }
    }
    return m_book.get();
}

void LogbookKeeper::scanAll() {
    Logbook* logbook = book();
    if (logbook == nullptr) {
        return;
    }
    std::vector<std::string> roots = logbook->folders();
    const std::vector<std::string> files = logbook->files();
    roots.insert(roots.end(), files.begin(), files.end());
    if (!m_archiveFolder.empty() && QFile::exists(QFile::decodeName(m_archiveFolder.c_str()))) {
        roots.insert(roots.begin(), m_archiveFolder);
    }
    queue(std::move(roots));
}

void LogbookKeeper::addFile(const std::string& path) {
    if (Logbook* logbook = book()) {
        logbook->addFile(path);
        queue({path});
    }
}

void LogbookKeeper::addFolder(const std::string& folder) {
    if (Logbook* logbook = book()) {
        logbook->addFolder(folder);
        queue({folder});
    }
}

void LogbookKeeper::scanArchive() {
    if (!m_archiveFolder.empty() && book() != nullptr) {
        queue({m_archiveFolder});
    }
}

void LogbookKeeper::queue(std::vector<std::string> roots) {
    if (roots.empty()) {
        return;
    }
    m_waiting.push_back(std::move(roots));
    if (!m_scan) {
        startNext();
    }
}

void LogbookKeeper::startNext() {
    if (m_waiting.empty() || m_book == nullptr) {
        m_timer->stop();
        return;
    }
    // One core is left to the windows, so that reading logs never keeps them waiting.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    m_scan = std::make_unique<LogbookScan>(*m_book, std::move(m_waiting.front()),
                                           std::max(1u, cores - 1));
    m_waiting.pop_front();
    m_timer->start();
}

void LogbookKeeper::step() {
    if (!m_scan) {
        m_timer->stop();
        return;
    }
    bool more = false;
    try {
        more = m_scan->step(std::chrono::milliseconds(StepMilliseconds));
    } catch (const std::exception& error) {
        // The database refused a write (a full disk, say): the scan ends here, saying so.
        emit scanFinished(QString::fromLocal8Bit(error.what()), {});
        m_scan.reset();
        startNext();
        return;
    }
    emit scanProgress(int(m_scan->done()), int(m_scan->total()));
    if (more) {
        return;
    }
    const ScanReport report = m_scan->report();
    m_scan.reset();
    QStringList problems;
    for (const ScanProblem& problem : report.problems) {
        problems << QString::fromStdString(problem.path + ": " + problem.reason);
    }
    emit scanFinished(QString::fromStdString(scanSummary(report)), problems);
    if (report.read > 0) {
        emit passesChanged();
    }
    startNext();
}

}  // namespace velkor
