#include "logbook/PassComparison.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "analysis/LogSamples.h"
#include "analysis/Wheelspin.h"
#include "base/DataLog.h"
#include "base/Preferences.h"
#include "log/LogFile.h"

namespace velkor {

namespace {

std::string fixed(double value, int decimals, bool sign = false) {
    char text[32];
    std::snprintf(text, sizeof text, sign ? "%+.*f" : "%.*f", decimals, value);
    std::string result = text;
    // A difference that rounds to nothing has no sign.
    if (sign && std::stod(result) == 0) {
        result = result.substr(1);
    }
    return result;
}

std::string seconds(const std::optional<double>& value, bool sign = false) {
    return value ? fixed(*value, 3, sign) + " s" : std::string();
}

std::string rpm(const std::optional<double>& value, bool sign = false) {
    return value ? fixed(*value, 0, sign) : std::string();
}

std::optional<double> difference(const std::optional<double>& a, const std::optional<double>& b) {
    if (a && b) {
        return *a - *b;
    }
    return std::nullopt;
}

std::optional<double> secondsAt(const PassTrace& trace, double feet) {
    if (const auto at = reachedAt(trace.points, feet)) {
        return at->time;
    }
    return std::nullopt;
}

std::string standingText(const PassComparison& c) {
    if (c.steps.empty()) {
        return "The two passes have no stretch of track in common to compare.";
    }
    const CompareStep& last = c.steps.back();
    const double behind = last.behindSeconds;
    const std::string where = "At " + markName(last.feet);
    if (std::fabs(behind) < CompareLossSeconds) {
        return where + ": level with the reference.";
    }
    return where + ": " + fixed(std::fabs(behind), 3) + " s " +
           (behind > 0 ? "behind" : "ahead of") + " the reference.";
}

std::string lossText(const PassComparison& c) {
    if (c.sections.empty()) {
        return "The passes do not both reach 60 ft.";
    }
    if (!c.mostLost) {
        return "No time lost to the reference over any stretch.";
    }
    const SectionLoss& s = *c.mostLost;
    return "Most time lost from " + fixed(s.fromFeet, 0) + " to " + fixed(s.toFeet, 0) +
           " ft: " + fixed(s.lostSeconds, 3) + " s.";
}

}  // namespace

std::string markName(double feet) {
    if (feet == 660) {
        return "1/8 mile";
    }
    if (feet == 1320) {
        return "1/4 mile";
    }
    return fixed(feet, 0) + " ft";
}

PassTrace passTrace(const DataLog& log, int runNumber) {
    PassTrace trace;
    trace.runNumber = runNumber;
    const RunAnalysis analysis = analyseRuns(log);
    if (runNumber < 1 || std::size_t(runNumber) > analysis.runs.size()) {
        trace.reason = "The log has no run " + std::to_string(runNumber) + ".";
        return trace;
    }
    trace.run = analysis.runs[std::size_t(runNumber - 1)];
    if (!trace.run.fromStandstill || !trace.run.firstMotion) {
        trace.reason = "Run " + std::to_string(runNumber) + " is not a standing start.";
        return trace;
    }
    // As the time slip does: the distance is the car's, not the spinning wheels'.
    LogSamples samples = samplesOf(log);
    const auto end = std::size_t(trace.run.endSample - 1);
    SpinFindings spins = findWheelspin(samples, trace.run, end);
    if (!spins.carMph.empty()) {
        samples.mph = std::move(spins.carMph);
    }
    const double motion = *trace.run.firstMotion;
    trace.points = distanceCovered(samples, motion, end, CompareFeet);
    for (DistancePoint& point : trace.points) {
        point.time -= motion;
    }
    return trace;
}

PassComparison comparePasses(const PassTrace& pass, const PassTrace& reference) {
    PassComparison c;
    const double reach = std::min({pass.reachFeet(), reference.reachFeet(), CompareFeet});
    for (int k = 0; k * CompareStepFeet <= reach; ++k) {
        const double feet = k * CompareStepFeet;
        const auto a = reachedAt(pass.points, feet);
        const auto b = reachedAt(reference.points, feet);
        if (!a || !b) {
            break;
        }
        c.steps.push_back({feet, a->time - b->time, a->mph, b->mph});
    }
    double fromFeet = 0;
    double behindBefore = 0;
    for (std::size_t m = 0; m < SlipFeet.size(); ++m) {
        SplitCompare& split = c.splits[m];
        split.feet = SlipFeet[m];
        split.passSeconds = secondsAt(pass, split.feet);
        split.referenceSeconds = secondsAt(reference, split.feet);
        split.behindSeconds = difference(split.passSeconds, split.referenceSeconds);
        if (split.behindSeconds && fromFeet == (m == 0 ? 0 : SlipFeet[m - 1])) {
            c.sections.push_back({fromFeet, split.feet, *split.behindSeconds - behindBefore});
            fromFeet = split.feet;
            behindBefore = *split.behindSeconds;
        }
    }
    for (const SectionLoss& section : c.sections) {
        if (section.lostSeconds >= CompareLossSeconds &&
            (!c.mostLost || section.lostSeconds > c.mostLost->lostSeconds)) {
            c.mostLost = section;
        }
    }
    const std::vector<ShiftEvent>& a = pass.run.shifts;
    const std::vector<ShiftEvent>& b = reference.run.shifts;
    for (std::size_t n = 0; n < std::max(a.size(), b.size()); ++n) {
        ShiftCompare shift;
        shift.number = int(n) + 1;
        if (n < a.size()) {
            shift.passRpm = a[n].rpmBefore;
            shift.passReaction = a[n].reaction;
        }
        if (n < b.size()) {
            shift.referenceRpm = b[n].rpmBefore;
            shift.referenceReaction = b[n].reaction;
        }
        c.shifts.push_back(shift);
    }
    c.standing = pass.points.empty() || reference.points.empty()
                     ? (pass.points.empty() ? pass.reason : reference.reason)
                     : standingText(c);
    c.lossText = lossText(c);
    return c;
}

std::array<std::string, 2> speedNames(const std::string& passCaption,
                                      const std::string& referenceCaption) {
    return {passCaption + " speed", referenceCaption + " speed (reference)"};
}

CompareTable compareTable(const PassComparison& comparison, const std::string& passCaption,
                          const std::string& referenceCaption) {
    CompareTable table;
    table.headers = {"Mark", passCaption, referenceCaption + " (reference)", "Difference"};
    for (const SplitCompare& split : comparison.splits) {
        table.rows.push_back({markName(split.feet), seconds(split.passSeconds),
                              seconds(split.referenceSeconds), seconds(split.behindSeconds, true)});
    }
    for (const ShiftCompare& shift : comparison.shifts) {
        const std::string name =
            std::to_string(shift.number) + "-" + std::to_string(shift.number + 1) + " shift";
        table.rows.push_back({name + " RPM", rpm(shift.passRpm), rpm(shift.referenceRpm),
                              rpm(difference(shift.passRpm, shift.referenceRpm), true)});
        table.rows.push_back(
            {name + " reaction", seconds(shift.passReaction), seconds(shift.referenceReaction),
             seconds(difference(shift.passReaction, shift.referenceReaction), true)});
    }
    return table;
}

PassTrace passTraceOfFile(const std::string& path, int runNumber) {
    const std::string name = std::filesystem::path(path).filename().string();
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        PassTrace none;
        none.runNumber = runNumber;
        none.reason =
            "The log file " + path + " could not be opened (" + std::strerror(errno) + ").";
        return none;
    }
    auto log = std::make_unique<DataLog>();
    Preferences settings;
    const LogFileRead read = readLogFile(file, *log, settings);
    if (read.end == LogFileRead::End::InHeader || read.sampleLines == 0) {
        PassTrace none;
        none.runNumber = runNumber;
        none.reason = name + " is not a log file.";
        return none;
    }
    log->DataBufferEmpty = false;
    return passTrace(*log, runNumber);
}

}  // namespace velkor
