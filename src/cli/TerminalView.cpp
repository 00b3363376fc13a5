#include "cli/TerminalView.h"

#include <string>

#include "cli/TerminalPrompts.h"

namespace velkor::cli {

namespace {

// The dial's caption selector for its read-out.
constexpr int ReadoutText = 3;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

void TerminalView::showProgressFrame(bool shown) {
    if (shown == m_progressShown) {
        return;
    }
    m_progressShown = shown;
    if (shown) {
        m_progress.start(m_progressCaption);
    } else {
        m_progress.finish();
    }
}

void TerminalView::setProgressCaption(const std::string& caption) {
    m_progressCaption = terminalText(caption);
    if (m_progressShown) {
        m_progress.start(m_progressCaption);
    }
}

void TerminalView::setProgressValue(int) {
    m_progress.step();
}

void TerminalView::showBusy() {
    m_err << "velkor-cli: another controller operation is running" << std::endl;
}

void TerminalView::showNote(const std::string& text) {
    m_err << "velkor-cli: " << terminalText(text) << std::endl;
}

void TerminalView::showNoteInWords(const std::string&, const std::string& terminalText) {
    showNote(terminalText);
}

void TerminalView::showGauge(GaugeId gauge, bool shown) {
    m_readings.shown[at(int(gauge))] = shown;
}

void TerminalView::setGaugeMember(GaugeId gauge, GaugeMember member, double value) {
    if (member == GaugeMember::Value) {
        m_readings.gauge[at(int(gauge))] = value;
    }
}

void TerminalView::setDialMember(DialId dial, DialMember member, double value) {
    if (member == DialMember::TextSelector) {
        m_textSelector[at(int(dial))] = int(value);
    }
}

void TerminalView::setDialCaption(DialId dial, const std::string& text) {
    if (m_textSelector[at(int(dial))] == ReadoutText) {
        m_readings.readout[at(int(dial))] = text;
    }
}

void TerminalView::setLampColour(LampId lamp, Colour colour) {
    m_readings.lamps[at(int(lamp))] = colour;
}

}  // namespace velkor::cli
