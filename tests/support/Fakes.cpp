#include "support/Fakes.h"

#include <stdexcept>

namespace velkor::test {

std::vector<std::uint8_t> ScriptedPort::writtenValues() const {
    std::vector<std::uint8_t> values;
    for (const auto& byte : written) {
        values.push_back(byte.value);
    }
    return values;
}

void ScriptedPort::open(const std::string& /*portName*/, const std::string& device) {
    openedDevices.push_back(device);
    m_open = true;
}

void ScriptedPort::writeByte(std::uint8_t byte) {
    if (!m_open) {
        return;
    }
    written.push_back({m_clock.now(), byte});
    if (responder) {
        responder(byte, *this);
    }
}

std::uint8_t ScriptedPort::readByte() {
    if (m_input.empty()) {
        throw std::logic_error("read from an empty receive buffer");
    }
    const std::uint8_t byte = m_input.front();
    m_input.pop_front();
    return byte;
}

bool ScriptedPort::waitForBytes(int count, Clock::time_point deadline) {
    if (!m_open) {
        return false;
    }
    if (static_cast<int>(m_input.size()) >= count) {
        return true;
    }
    m_clock.sleepUntil(deadline);
    return false;
}

}  // namespace velkor::test
