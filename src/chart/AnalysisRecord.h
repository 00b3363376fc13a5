#pragma once
// The run analysis for scripts: `velkor-cli analyze --json` and the Run Summary's CSV files.
// The keys are a contract: snake_case, the unit in the name, the same whatever the display
// units; a value that does not exist is null (an empty CSV cell). Times in a time slip count
// from first motion, every other time is the log's elapsed time.

#include <string>
#include <vector>

#include "analysis/RunAnalysis.h"
#include "chart/ScriptValue.h"

namespace velkor {

// Changes whenever a key is added, removed or changes its meaning.
constexpr const char* AnalysisSchema = "velkor-analysis/2";

// The keys of each level, in the order they are written.
const std::vector<std::string>& analysisKeys();  // the top level
const std::vector<std::string>& runKeys();
const std::vector<std::string>& wheelspinKeys();
const std::vector<std::string>& timeSlipKeys();
const std::vector<std::string>& shiftKeys();
const std::vector<std::string>& gearKeys();
const std::vector<std::string>& shiftPointKeys();

// What a shift's reaction says: "no light" (the light did not come on before it), "early shift"
// (before the light), or nothing.
std::string shiftNote(const ShiftEvent& shift);

// The whole analysis as one record with the keys above.
ScriptValue analysisRecord(const RunAnalysis& analysis);

// The runs as a tidy table: the run's own values, the number of its spins as
// `wheelspin_count` and its time slip's values beside them.
const std::vector<std::string>& runCsvColumns();
std::string runsCsv(const RunAnalysis& analysis);
// The shifts as a tidy table, with the keys of a shift.
std::string shiftsCsv(const RunAnalysis& analysis);

}  // namespace velkor
