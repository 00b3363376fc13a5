#pragma once
// velkor-sim at true line timing in a child process, linked as Com1 in a throw-away folder, for
// the benchmarks that talk to the controller.

#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>
#include <string>

namespace velkor::bench {

constexpr double LineByteSeconds = 10.0 / 56000.0;  // one byte at 10 bits and 56000 bit/s

class PacedSimulator {
public:
    PacedSimulator() {
        m_process.start(QStringLiteral(VELKOR_SIM_PATH),
                        {"--paced", "--link", m_ports.path() + "/com1"});
        if (!m_process.waitForStarted() || !m_process.waitForReadyRead(5000)) {
            throw std::runtime_error("velkor-sim did not start");
        }
    }
    ~PacedSimulator() {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    PacedSimulator(const PacedSimulator&) = delete;
    PacedSimulator& operator=(const PacedSimulator&) = delete;

    // The folder to give the program as its port links: Com1 is the simulator.
    std::string portLinkDir() const { return m_ports.path().toStdString(); }

private:
    QTemporaryDir m_ports;
    QProcess m_process;
};

}  // namespace velkor::bench
