#pragma once
// Scripted answers, with window events running wherever the operations let them run, and a hook
// that acts there as a click or a key would.

#include <QCoreApplication>
#include <functional>

#include "support/ScriptedPrompts.h"

namespace velkor::test {

class EventLoopPrompts : public ScriptedPrompts {
public:
    std::function<void()> onYield;
    void yield() override {
        ScriptedPrompts::yield();
        QCoreApplication::processEvents();
        if (onYield) {
            onYield();
        }
    }
};

}  // namespace velkor::test
