#pragma once
// The settings store on QSettings: user scope, organisation and application "Velkor", section
// "Properties", every value a string (~/.config/Velkor/Velkor.conf on Linux, the registry on
// Windows).

#include <QSettings>

#include "base/SettingsStore.h"

namespace velkor {

class QtSettingsStore : public SettingsStore {
public:
    QtSettingsStore();
    std::optional<std::string> read(const std::string& key) const override;
    // Throws AppError when the store cannot be written.
    void write(const std::string& key, const std::string& value) override;

private:
    QString path(const std::string& key) const;
    mutable QSettings m_settings;
};

}  // namespace velkor
