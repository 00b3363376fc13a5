#pragma once
// How an operation ended, for its caller to act on: the windows have shown their messages by
// then, and the terminal program takes its exit status from it.

#include <string>
#include <utility>

namespace velkor {

struct Outcome {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    std::string reason;  // why it was cancelled or failed, in a few words; empty when done

    static Outcome done() { return {}; }
    static Outcome cancelled(std::string why) { return {Status::Cancelled, std::move(why)}; }
    static Outcome failed(std::string why) { return {Status::Failed, std::move(why)}; }
    bool isDone() const { return status == Status::Done; }
    bool isCancelled() const { return status == Status::Cancelled; }
    bool isFailed() const { return status == Status::Failed; }
};

}  // namespace velkor
