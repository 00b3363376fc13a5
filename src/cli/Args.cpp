#include "cli/Args.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/ExitCode.h"

namespace velkor::cli {

namespace {

std::string dashed(const std::string& name) {
    return (name.size() == 1 ? "-" : "--") + name;
}

}  // namespace

Args::Args(const std::vector<std::string>& words, const std::vector<KnownOption>& known,
           std::size_t maxPositional) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
            m_positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const bool longForm = word.rfind("--", 0) == 0;
        std::string name = word.substr(longForm ? 2 : 1);
        std::optional<std::string> attached;
        if (const auto equals = name.find('='); longForm && equals != std::string::npos) {
            attached = name.substr(equals + 1);
            name.erase(equals);
        }
        const auto option = std::find_if(known.begin(), known.end(), [&](const KnownOption& s) {
            return s.name == name && (s.name.size() == 1) != longForm;
        });
        if (option == known.end()) {
            throw usageError("unknown option " + word);
        }
        if (!option->takesValue) {
            if (attached) {
                throw usageError(dashed(name) + " takes no value");
            }
            m_values[name].push_back("");
            continue;
        }
        if (!attached) {
            if (i + 1 >= words.size()) {
                throw usageError(dashed(name) + " needs a value");
            }
            attached = words[++i];
        }
        m_values[name].push_back(*attached);
    }
    if (m_positional.size() > maxPositional) {
        throw usageError("unexpected argument " + m_positional[maxPositional]);
    }
}

std::optional<std::string> Args::value(const std::string& name) const {
    const auto found = m_values.find(name);
    if (found == m_values.end() || found->second.empty()) {
        return std::nullopt;
    }
    return found->second.back();
}

std::vector<std::string> Args::values(const std::string& name) const {
    const auto found = m_values.find(name);
    return found == m_values.end() ? std::vector<std::string>() : found->second;
}

std::string Args::required(const std::string& name) const {
    const auto given = value(name);
    if (!given) {
        throw usageError(dashed(name) + " is required");
    }
    return *given;
}

std::optional<double> Args::number(const std::string& name) const {
    const auto given = value(name);
    if (!given) {
        return std::nullopt;
    }
    // The C locale's '.' whatever the terminal's locale says, as in the files.
    double number = 0;
    const char* end = given->data() + given->size();
    const auto [stop, error] = std::from_chars(given->data(), end, number);
    if (error != std::errc() || stop != end || !std::isfinite(number)) {
        throw usageError(dashed(name) + " takes a number, not \"" + *given + "\"");
    }
    return number;
}

}  // namespace velkor::cli
