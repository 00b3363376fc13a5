#pragma once
// The subcommands. Each returns its exit status or throws a Failure; messages and progress go
// to standard error, data to standard output or the named file.

#include <string>

namespace velkor::cli {

class Args;
class Session;

int runPorts(const Args& args, Session& session);
int runDownload(const Args& args, Session& session);
int runClear(const Args& args, Session& session);
int runLive(const Args& args, Session& session);
int runInfo(const Args& args, Session& session);
int runExport(const Args& args, Session& session);
int runAnalyze(const Args& args, Session& session);

// Writes `content` to `path` as a whole new file ("-": standard output). A file that cannot be
// written is a file Failure with the reason; `noun` names the kind of file in it.
void writeOutput(const std::string& path, const std::string& content, const std::string& noun);

}  // namespace velkor::cli
