#pragma once
// One run of a subcommand: the program's state, the preferences from the same store as the
// windows (with --set overrides for this run), the terminal's prompts and views, the serial
// port and the clock, wired into the core's context as the main window wires them.

#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/QtSettingsStore.h"
#include "base/SettingsStore.h"
#include "cli/TerminalPrompts.h"
#include "cli/TerminalView.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"

namespace velkor::cli {

// "KEY=VALUE" pairs of --set, by key. Throws a usage Failure for a malformed pair, a key the
// store does not know, or a value the options dialogs would refuse (naming the values allowed).
std::map<std::string, std::string> parseOverrides(const std::vector<std::string>& pairs);

// The stored settings with this run's overrides in front. Nothing is written back: a run of the
// terminal program never changes the stored preferences.
class OverrideStore : public SettingsStore {
public:
    OverrideStore(const SettingsStore& base, std::map<std::string, std::string> overrides)
        : m_base(base), m_overrides(std::move(overrides)) {}
    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string&, const std::string&) override {}

private:
    const SettingsStore& m_base;
    std::map<std::string, std::string> m_overrides;
};

// A port named on the command line by its device path: opened there, whatever port number the
// link asks for.
class DevicePort : public QtSerialPort {
public:
    void open(const std::string& portName, const std::string& device) override;
    void setDevice(std::string device) { m_device = std::move(device); }

private:
    std::string m_device;
};

class Session {
public:
    // Reads the preferences; throws a usage Failure when a stored or overriding value is not
    // one the setting takes.
    Session(const std::map<std::string, std::string>& overrides, std::ostream& err);

    AppData& data() { return *m_data; }
    TerminalPrompts& prompts() { return m_prompts; }
    TerminalView& view() { return m_view; }
    ControllerLink& link() { return m_link; }
    AppContext& context() { return m_ctx; }
    const std::vector<std::string>& folders() const { return m_folders; }
    std::string makerName() const;

    // The controller's port from --port: "Com3" (any letter case, 1 to 255) or a device path (a
    // relative one from the current folder); without one, the port stored by the windows' Port
    // Setup. Throws a usage Failure for a Com name out of range.
    void usePort(const std::optional<std::string>& port);

    // Reads a log file as File, Open File does, with its messages; the file's display settings
    // replace the stored ones for this run, and the overrides still win. Throws a file Failure
    // when no data could be read, when no sample line was read whole, and when a line was passed
    // over for a number no log holds.
    void openLogFile(const std::string& path);

private:
    void readPreferences(SettingsStore& store);

    std::unique_ptr<AppData> m_data = std::make_unique<AppData>();
    std::map<std::string, std::string> m_overrides;
    TerminalPrompts m_prompts;
    TerminalView m_view;
    QtSettingsStore m_stored;
    OverrideStore m_settings;
    DevicePort m_port;
    SteadyClock m_clock;
    std::vector<std::string> m_folders;
    AppContext m_ctx;
    ControllerLink m_link{m_ctx};
};

}  // namespace velkor::cli
