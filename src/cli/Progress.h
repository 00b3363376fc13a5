#pragma once
// The download's progress on a terminal: a bar redrawn in place on a terminal, plain lines at
// every tenth otherwise, so that a log of a script's run stays readable.

#include <chrono>
#include <ostream>
#include <string>

namespace velkor::cli {

// One line of progress: "[=====>    ]  123/512 blocks  24 %  6 s left". The time left is left
// out until a block has been read.
std::string progressLine(int blocks, int totalBlocks, double elapsedSeconds, int barWidth);

class ProgressReport {
public:
    ProgressReport(std::ostream& out, bool terminal) : m_out(out), m_terminal(terminal) {}

    void start(const std::string& caption);
    // One more block read (the first report, at 0 %, starts the count).
    void step();
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    void draw(bool force);

    std::ostream& m_out;
    bool m_terminal;
    bool m_running = false;
    std::string m_caption;
    int m_reports = 0;
    int m_lastTenth = -1;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
};

}  // namespace velkor::cli
