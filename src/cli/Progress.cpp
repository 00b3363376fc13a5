#include "cli/Progress.h"

#include <algorithm>
#include <cmath>

#include "base/DataLog.h"
#include "link/ControllerLink.h"

namespace velkor::cli {

namespace {

constexpr int TotalBlocks = FramSize / FRAMBlockLength;
constexpr auto RedrawEvery = std::chrono::milliseconds(100);

}  // namespace

std::string progressLine(int blocks, int totalBlocks, double elapsedSeconds, int barWidth) {
    blocks = std::clamp(blocks, 0, totalBlocks);
    const double share = totalBlocks > 0 ? double(blocks) / totalBlocks : 1.0;
    const int filled = int(std::floor(share * barWidth));
    std::string line = "[" + std::string(std::size_t(filled), '=');
    if (filled < barWidth) {
        line += '>' + std::string(std::size_t(barWidth - filled - 1), ' ');
    }
    line += "] " + std::to_string(blocks) + "/" + std::to_string(totalBlocks) + " blocks  " +
            std::to_string(int(std::floor(share * 100))) + " %";
    if (blocks > 0 && blocks < totalBlocks) {
        const double left = elapsedSeconds / blocks * (totalBlocks - blocks);
        line += "  " + std::to_string(int(std::ceil(left))) + " s left";
    }
    return line;
}

void ProgressReport::start(const std::string& caption) {
    m_running = true;
    m_caption = caption;
    m_reports = 0;
    m_lastTenth = -1;
    m_start = Clock::now();
}

void ProgressReport::step() {
    if (!m_running) {
        return;
    }
    ++m_reports;
    draw(false);
}

void ProgressReport::finish() {
    if (!m_running) {
        return;
    }
    m_running = false;
    if (m_terminal) {
        draw(true);
        m_out << std::endl;
    }
}

void ProgressReport::draw(bool force) {
    const int blocks = std::max(0, m_reports - 1);
    const auto now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - m_start).count();
    if (m_terminal) {
        if (force || blocks == TotalBlocks || now - m_lastDraw >= RedrawEvery) {
            m_lastDraw = now;
            m_out << "\r" << m_caption << " " << progressLine(blocks, TotalBlocks, elapsed, 30)
                  << "\033[K" << std::flush;
        }
        return;
    }
    const int tenth = blocks * 10 / TotalBlocks;
    if (tenth != m_lastTenth) {
        m_lastTenth = tenth;
        m_out << m_caption << ": " << blocks << "/" << TotalBlocks << " blocks, " << tenth * 10
              << " %" << std::endl;
    }
}

}  // namespace velkor::cli
