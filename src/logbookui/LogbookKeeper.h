#pragma once
// The program's one logbook: opened on first use, brought up to date by scans that run in short
// steps between the window's events (the files are read on worker threads), so that neither the
// main window nor the Logbook window ever stops answering while a season of logs is indexed.

#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace velkor {

class Logbook;
class LogbookScan;

class LogbookKeeper : public QObject {
    Q_OBJECT
public:
    // `dataFolder` holds the database and the journal; `archiveFolder` is the download archive,
    // always scanned.
    LogbookKeeper(std::string dataFolder, std::string archiveFolder, QObject* parent = nullptr);
    ~LogbookKeeper() override;

    // The logbook, opened on the first call; nullptr when it cannot be opened (openError() says
    // why).
    Logbook* book();
    QString openError() const { return m_openError; }

    // Brings the logbook up to date with the archive, the added folders and the files.
    void scanAll();
    // Indexes a log file opened or saved outside the archive, and remembers it.
    void addFile(const std::string& path);
    // Remembers a folder of older logs and indexes it.
    void addFolder(const std::string& folder);
    // Indexes the download archive (after a download).
    void scanArchive();

    bool scanning() const { return m_scan != nullptr; }
    // How long one step may store for before the window's events are served again.
    static constexpr int StepMilliseconds = 15;

signals:
    void scanProgress(int done, int total);
    // A scan ended: its summary, and one line per file that could not be read.
    void scanFinished(const QString& summary, const QStringList& problems);
    // The passes changed (a scan stored some, an entry was made): lists should be read again.
    void passesChanged();
    // What opening the logbook found worth telling (a damaged file set aside, a migration).
    void notice(const QString& text);

private:
    void queue(std::vector<std::string> roots);
    void startNext();
    void step();

    std::string m_dataFolder;
    std::string m_archiveFolder;
    std::unique_ptr<Logbook> m_book;
    QString m_openError;
    bool m_openTried = false;
    std::deque<std::vector<std::string>> m_waiting;
    std::unique_ptr<LogbookScan> m_scan;
    QTimer* m_timer = nullptr;
};

}  // namespace velkor
