#pragma once
// A standing start's first motion and its estimated time slip, from road speed alone.

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

struct LogSamples;

// The last sample at rest before the car moves off in the run from `start` to `end` (indices);
// it may be the sample before the run's first. Nothing when the car does not move off.
std::optional<std::size_t> lastAtRest(const LogSamples& s, std::size_t start, std::size_t end);

// The moment the car first moved after the sample at rest `rest`: between it and the first
// moving one, found by running the first moving samples' acceleration back to standstill.
double firstMotion(const LogSamples& s, std::size_t rest, std::size_t end);

// The distance a standing start has covered by a sample, from first motion.
struct DistancePoint {
    double time = 0;  // seconds
    double feet = 0;
    double mph = 0;  // road speed, never below 0
};

// The distance covered at first motion `motion` (0 ft, at rest) and at each later sample up to
// index `end`, by the trapezoid rule over road speed, until the sample that reaches `upToFeet`.
std::vector<DistancePoint> distanceCovered(const LogSamples& s, double motion, std::size_t end,
                                           double upToFeet);

// When and at what speed the points reach `feet`: within the segment that reaches it the speed
// changes linearly, and its quadratic gives the time. Nothing when they do not reach it.
std::optional<DistancePoint> reachedAt(const std::vector<DistancePoint>& points, double feet);

// The time slip of a run that moved off at `motion` and ends at index `end`.
TimeSlip timeSlip(const LogSamples& s, double motion, std::size_t end);

}  // namespace velkor
