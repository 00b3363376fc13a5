#pragma once
// Prompts as Qt message boxes, input boxes and file dialogs.

#include "base/Prompts.h"

namespace velkor {

class QtPrompts : public Prompts {
public:
    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    void yield() override;
};

}  // namespace velkor
