#pragma once
// The program's state and stand-ins for the outside world, wired as the operations expect.

#include <memory>

#include "base/AppContext.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {

template <typename Prompts>
struct BasicAppFixture {
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    Prompts prompts;
    MemorySettingsStore store;
    RecordingView view;
    FakeClock clock;
    ScriptedPort port{clock};
    AppContext ctx{*data, prompts, store, view, port, clock, ""};
};

using AppFixture = BasicAppFixture<ScriptedPrompts>;

}  // namespace velkor::test
