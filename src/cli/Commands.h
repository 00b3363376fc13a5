#pragma once
// The subcommands. Each returns its exit status or throws a Failure; messages and progress go
// to standard error, data to standard output or the named file.

#include <string>
#include <vector>

namespace velkor::cli {

class Args;
class Session;
struct KnownOption;

int runPorts(const Args& args, Session& session);
int runDownload(const Args& args, Session& session);
int runClear(const Args& args, Session& session);
int runLive(const Args& args, Session& session);
int runInfo(const Args& args, Session& session);
int runExport(const Args& args, Session& session);
int runAnalyze(const Args& args, Session& session);
// "logbook SUBCOMMAND ...": its first plain argument chooses scan, list, note, stats or predict.
int runLogbook(const Args& args, Session& session);
// Every option of the logbook's subcommands; runLogbook refuses those of another subcommand.
std::vector<KnownOption> logbookOptions();

// Writes `content` to `path` as a whole new file ("-": standard output). A file that cannot be
// written is a file Failure with the reason; `noun` names the kind of file in it.
void writeOutput(const std::string& path, const std::string& content, const std::string& noun);

}  // namespace velkor::cli
