#include "base/QtSettingsStore.h"

#include <QStringList>

#include "base/AppError.h"

namespace velkor {

QtSettingsStore::QtSettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor") {}

QString QtSettingsStore::path(const std::string& key) const {
    return "Properties/" + QString::fromStdString(key);
}

std::optional<std::string> QtSettingsStore::read(const std::string& key) const {
    m_settings.sync();
    const QVariant value = m_settings.value(path(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    // A text with commas edited into the file by hand reads back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(',').toLatin1().toStdString();
    }
    return value.toString().toLatin1().toStdString();
}

void QtSettingsStore::write(const std::string& key, const std::string& value) {
    m_settings.setValue(path(key), QString::fromLatin1(value.data(), qsizetype(value.size())));
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError) {
        throw AppError(ErrorNumber::InvalidArgument, "Velkor",
                       "The setting \"" + key + "\" could not be stored in " +
                           m_settings.fileName().toStdString() + ".");
    }
}

}  // namespace velkor
