#pragma once
// A subcommand's command line: options ("--port P", "--port=P", "-o FILE", flags) and the
// plain arguments, checked against what the subcommand takes.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velkor::cli {

struct KnownOption {
    std::string name;  // "port", or "o" for a one-letter option
    bool takesValue = false;
};

class Args {
public:
    // Throws a usage Failure for an unknown option, a missing value or more plain arguments
    // than `maxPositional`. "-" is a plain argument (standard output); "--" ends the options.
    Args(const std::vector<std::string>& words, const std::vector<KnownOption>& known,
         std::size_t maxPositional);

    bool has(const std::string& name) const { return m_values.count(name) > 0; }
    // The last value given, or nothing.
    std::optional<std::string> value(const std::string& name) const;
    // Every value given, in order.
    std::vector<std::string> values(const std::string& name) const;
    const std::vector<std::string>& positional() const { return m_positional; }

    // The value of an option that must be given.
    std::string required(const std::string& name) const;
    // A number option; nothing when absent. Throws a usage Failure when it is not a number.
    std::optional<double> number(const std::string& name) const;

private:
    std::map<std::string, std::vector<std::string>> m_values;
    std::vector<std::string> m_positional;
};

}  // namespace velkor::cli
