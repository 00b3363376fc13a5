#include "logbook/Pass.h"

#include <utility>

#include "analysis/RunAnalysis.h"

namespace velkor {

Pass passFromRun(const RunResult& run, std::string filePath, int runNumber,
                 std::string downloadDate) {
    Pass pass;
    pass.filePath = std::move(filePath);
    pass.runNumber = runNumber;
    pass.downloadDate = std::move(downloadDate);
    pass.et60 = run.slip.elapsed[0];
    pass.et330 = run.slip.elapsed[1];
    pass.et660 = run.slip.elapsed[2];
    pass.et1000 = run.slip.elapsed[3];
    pass.et1320 = run.slip.elapsed[4];
    pass.trapMph = run.slip.trapQuarterMph;
    pass.zeroToSixty = run.accelMph[1];
    pass.bestReaction = run.bestReaction;
    // A run without engine speed in its log peaks at nothing.
    if (run.peakRpm > 0) {
        pass.peakRpm = run.peakRpm;
    }
    return pass;
}

std::optional<double> figureOf(const Pass& pass, PassFigure figure) {
    switch (figure) {
        case PassFigure::Et:
            return pass.et1320;
        case PassFigure::SixtyFoot:
            return pass.et60;
        case PassFigure::TrapMph:
            return pass.trapMph;
        case PassFigure::Reaction:
            return pass.bestReaction;
    }
    return std::nullopt;
}

}  // namespace velkor
