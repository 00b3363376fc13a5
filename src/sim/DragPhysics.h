#pragma once
// The drag car: the engine's full-throttle pull over its speed, four gears given as engine speed
// per road speed, the tyres' grip, and the air and the road that hold the car back. Engine speed
// is in RPM and road speed in MPH at the edges; forces are in newtons.

#include <array>
#include <cstddef>

namespace velkor::sim::drag {

constexpr std::size_t GearCount = 4;
// Engine speed per road speed in each gear, first gear first: final drive and tyre included.
constexpr std::array<double, GearCount> RpmPerMph = {143, 95, 71, 56};
// The rev limiter cuts the engine's pull at this speed.
constexpr double LimiterRpm = 7100;

// The engine's full-throttle torque at `rpm`, newton metres; none at or above the limiter.
double engineTorque(double rpm);

// The force the engine drives the car with in `gear` (0-based) at engine speed `rpm` under a
// share of full throttle, before the tyres' grip. Power at the wheels is power at the crank
// less the driveline's loss, so the force is torque times engine speed over road speed.
double driveForce(std::size_t gear, double rpm, double throttle = 1);

// The most the tyres pass on to the road while they hold, and while they spin.
double gripForce();
double spinningGripForce();

// Air drag and rolling resistance at `mph`; none while the car stands.
double resistance(double mph);

// The change of road speed, MPH a second, that a net force gives the car.
double mphPerSecond(double force);

// The engine speed in `gear` (0-based, not the top gear) at which the next gear drives the car
// as hard at the same road speed: the best moment for the upshift. The limiter when the lower
// gear pulls harder all the way up to it.
double bestShiftRpm(std::size_t gear);

}  // namespace velkor::sim::drag
