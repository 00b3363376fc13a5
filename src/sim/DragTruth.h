#pragma once
// What the drag run's truth gathers while the car moves: its travel and the moments it passes
// the time slip's distances, the speeds of the acceleration times, and the wheels' spins.

#include <array>
#include <optional>
#include <vector>

#include "sim/DragRun.h"

namespace velkor::sim {

class TruthMarks {
public:
    // The car moves off at `t`: the time slip's clock starts.
    void start(double t) { m_start = t; }
    // One step of `dt` seconds ending at `t`, with the car's speed before and after it and the
    // wheels' speed above the car's at its end.
    void step(double t, double dt, double mphBefore, double mphAfter, double excessMph);
    // When the car passed the quarter mile, if it did.
    std::optional<double> quarterPassed() const { return m_feetAt.back(); }
    // Writes the distances' times, the traps, the acceleration times and the spins.
    void fill(DragTruth& truth) const;

private:
    double m_start = 0;
    double m_feet = 0;
    std::array<std::optional<double>, 7> m_feetAt;   // when the car passed each of the distances
    std::array<std::optional<double>, 3> m_speedAt;  // ... and first reached 30, 60, 100 MPH
    std::vector<TruthSpin> m_spins;
    bool m_spinning = false;
};

}  // namespace velkor::sim
