#include "cli/Session.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "about/BrandingFile.h"
#include "base/DataFiles.h"
#include "base/PortMap.h"
#include "base/PreferenceRules.h"
#include "base/Preferences.h"
#include "cli/ExitCode.h"
#include "log/LogFileOperations.h"

namespace velkor::cli {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// Where the windows keep every download, so that the terminal's are kept beside them.
std::string downloadArchiveFolder() {
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             "/Velkor/downloads")
        .toStdString();
}

std::string portLinkFolder() {
    return QFile::encodeName(
               QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               "/Velkor/ports")
        .toStdString();
}

// Nothing stored: what is read through it is only what the overrides say.
class EmptyStore : public SettingsStore {
public:
    std::optional<std::string> read(const std::string&) const override { return std::nullopt; }
    void write(const std::string&, const std::string&) override {}
};

// Why a named log file cannot be read, in the system's words; nothing when it can. The open
// dialog's "File not found." says nothing of a folder, a pipe or a device in its place.
std::optional<std::string> unreadableFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::string(std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return std::string("it is a folder, not a log file");
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        return std::string("it is a pipe or socket, not a log file");
    }
    if (!S_ISREG(info.st_mode)) {
        return std::string("it is a device, not a log file");
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::string(std::strerror(errno));
    }
    ::close(fd);
    return std::nullopt;
}

}  // namespace

std::map<std::string, std::string> parseOverrides(const std::vector<std::string>& pairs) {
    std::map<std::string, std::string> overrides;
    for (const std::string& pair : pairs) {
        const auto equals = pair.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw usageError("--set takes KEY=VALUE, not \"" + pair + "\"");
        }
        const std::string key = pair.substr(0, equals);
        const auto& keys = preferenceKeys();
        const auto known = std::find_if(
            keys.begin(), keys.end(), [&](const std::string& k) { return lower(k) == lower(key); });
        if (known == keys.end()) {
            std::string list;
            for (const auto& k : keys) {
                list += (list.empty() ? "" : ", ") + k;
            }
            throw usageError("--set: no setting " + key + "; the settings are " + list);
        }
        const std::string value = pair.substr(equals + 1);
        const auto accepted = acceptedSetting(*known, value);
        if (!accepted) {
            throw usageError("--set: " + *known + " takes " + allowedValues(*known) + ", not \"" +
                             value + "\"");
        }
        overrides[*known] = *accepted;
    }
    return overrides;
}

std::optional<std::string> OverrideStore::read(const std::string& key) const {
    const auto found = m_overrides.find(key);
    if (found != m_overrides.end()) {
        return found->second;
    }
    return m_base.read(key);
}

void DevicePort::open(const std::string& portName, const std::string& device) {
    if (m_device.empty()) {
        QtSerialPort::open(portName, device);
    } else {
        QtSerialPort::open(m_device, m_device);
    }
}

Session::Session(const std::map<std::string, std::string>& overrides, std::ostream& err)
    : m_overrides(overrides),
      m_prompts(m_data->state, err),
      m_view(err, isatty(STDERR_FILENO) == 1),
      m_settings(m_stored, overrides),
      m_folders(dataFolders(QCoreApplication::applicationDirPath().toStdString())),
      m_ctx{*m_data, m_prompts, m_settings,       m_view,
            m_port,  m_clock,   portLinkFolder(), downloadArchiveFolder()} {
    try {
        m_data->branding = loadBranding(m_folders).read.branding;
    } catch (const AppError& error) {
        throw Failure(ExitFile, terminalText(error.description()));
    }
    Preferences& prefs = m_data->prefs;
    if (!readCommPort(prefs, m_settings, m_prompts)) {
        throw usageError("the stored port cannot be read (see above); correct it with --set");
    }
    readPreferences(m_settings);
    clampInput2Volts(prefs);
    applyPressureScaling(prefs);
    m_data->log.FirmwareID.clear();
    m_data->log.ControllerType.clear();
}

void Session::readPreferences(SettingsStore& store) {
    if (!readDisplaySettings(m_data->prefs, store, m_prompts) || m_prompts.errorShown()) {
        throw usageError("the preferences cannot be read (see above); correct them with --set");
    }
}

std::string Session::makerName() const {
    return velkor::makerName(m_data->branding);
}

void Session::usePort(const std::optional<std::string>& given) {
    if (!given) {
        return;
    }
    const std::string& port = *given;
    const std::string name = lower(port);
    if (name.rfind("com", 0) == 0 && name.size() > 3 &&
        std::all_of(name.begin() + 3, name.end(),
                    [](unsigned char c) { return std::isdigit(c); })) {
        const int number = name.size() > 6 ? 0 : std::stoi(name.substr(3));
        if (number < 1 || number > PortCount) {
            throw usageError("--port: " + port + " is not one of Com1 to Com255");
        }
        m_data->prefs.CommPortNumber = number;
        return;
    }
    m_data->prefs.CommPortNumber = 1;
    // A relative path means a file under the current folder, as every path on a command line
    // does; the serial library would look for it under /dev.
    std::error_code error;
    const auto absolute = std::filesystem::absolute(port, error);
    m_port.setDevice(error ? port : absolute.string());
}

void Session::openLogFile(const std::string& path) {
    if (const auto reason = unreadableFile(path)) {
        throw Failure(ExitFile, path + " cannot be read: " + *reason);
    }
    m_prompts.setFileToOpen(path);
    const OpenedLog opened = mnuOpenFile_Click(m_ctx);
    const LogFileRead& read = opened.read;
    if (!opened.outcome.isDone()) {
        throw Failure(ExitFile, "no data read from " + path);
    }
    // The windows show what they can of such files; a script is told they are faulty.
    if (read.sampleLines == 0) {
        throw Failure(ExitFile, path + " is not a Velkor log file: no sample line could be read");
    }
    if (read.damagedLines > 0) {
        throw Failure(ExitFile, path + " holds numbers no log can hold: " +
                                    terminalText(damagedLinesNote(read)));
    }
    // The file's display settings are this run's, but what --set says wins over them.
    if (m_overrides.empty()) {
        return;
    }
    EmptyStore nothing;
    OverrideStore store(nothing, m_overrides);
    readPreferences(store);
    if (isPressureSensor(m_data->prefs.Input1Type)) {
        applyPressureScaling(m_data->prefs);
    }
}

}  // namespace velkor::cli
