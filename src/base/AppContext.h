#pragma once
// The program's state and the outside world as the operations see them.

#include <string>

#include "base/Branding.h"
#include "base/ControllerIdentity.h"
#include "base/DataLog.h"
#include "base/LiveState.h"
#include "base/Preferences.h"
#include "base/SharedState.h"

namespace velkor {

class Clock;
class MainView;
class Prompts;
class SerialPort;
class SettingsStore;

// The one log, the preferences, the shared flags, the connected controller's identity and the
// branding: one of each for the run.
struct AppData {
    DataLog log;
    ControllerIdentity controller;
    Preferences prefs;
    SharedState state;
    LiveState live;
    Branding branding;
};

struct AppContext {
    AppData& data;
    Prompts& prompts;
    SettingsStore& settings;
    MainView& view;
    SerialPort& port;
    Clock& clock;
    std::string portLinkDir;  // the per-user folder of comN links
    // The per-user folder where every completed download is also kept; empty: none is kept.
    std::string downloadArchiveDir{};
};

}  // namespace velkor
