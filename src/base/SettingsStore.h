#pragma once
// The per-user settings store: text values by key in the "Properties" section.

#include <optional>
#include <string>

namespace velkor {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or nothing when the key has never been written.
    virtual std::optional<std::string> read(const std::string& key) const = 0;
    // Stores the text at once.
    virtual void write(const std::string& key, const std::string& value) = 0;
};

}  // namespace velkor
