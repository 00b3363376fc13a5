// The nine live reads: one current value each, the port left open for the next read of a poll.

#include "link/ControllerLink.h"

namespace velkor {

namespace {

float oneByte(const std::optional<std::vector<std::uint8_t>>& reply, double scale = 1.0,
              double divisor = 1.0) {
    return reply ? static_cast<float>(scale * reply->front() / divisor) : 0.0f;
}

float twoBytes(const std::optional<std::vector<std::uint8_t>>& reply, double factor) {
    return reply ? static_cast<float>((256.0 * (*reply)[1] + (*reply)[0]) * factor) : 0.0f;
}

}  // namespace

float ControllerLink::ReadTPS() {
    return oneByte(liveRead(Command::ReadTPS, 1));
}
float ControllerLink::ReadBAT() {
    return oneByte(liveRead(Command::ReadBAT, 1), 18.0, 255.0);
}
float ControllerLink::ReadVIN1() {
    return oneByte(liveRead(Command::ReadVIN1, 1), 5.0, 255.0);
}
float ControllerLink::ReadVIN2() {
    return oneByte(liveRead(Command::ReadVIN2, 1), 5.0, 255.0);
}
float ControllerLink::ReadRPM() {
    return twoBytes(liveRead(Command::ReadRPM, 2), 1.0);
}
float ControllerLink::ReadVSS() {
    return twoBytes(liveRead(Command::ReadVSS, 2), 0.0078125);
}
float ControllerLink::ReadInputData() {
    return oneByte(liveRead(Command::ReadInputData, 1));
}
float ControllerLink::ReadOutputData() {
    return oneByte(liveRead(Command::ReadOutputData, 1));
}
float ControllerLink::ReadStatus() {
    return oneByte(liveRead(Command::ReadStatus, 1));
}

}  // namespace velkor
