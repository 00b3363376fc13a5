#pragma once
// Prompts answered from a script, recording everything shown, and a settings store in memory.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/Prompts.h"
#include "base/SettingsStore.h"

namespace velkor::test {

struct ShownPrompt {
    enum class Kind { Message, Input, OpenFile, SaveFile } kind;
    std::string text;   // message text, input prompt, or dialog title
    std::string title;  // message or input title; the filter for file dialogs
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

class ScriptedPrompts : public Prompts {
public:
    // Answers for the next message boxes, in order; when none is left, a message box is answered
    // with its first button (OK, Yes, Retry or Abort) and the test fails, so a prompt nobody
    // expected never passes unseen.
    void answerMessages(std::initializer_list<Answer> answers) {
        m_messageAnswers.insert(m_messageAnswers.end(), answers);
    }
    // Answers for the next input boxes and file dialogs (nothing = cancelled / dismissed).
    void answerInputs(std::initializer_list<std::optional<std::string>> answers) {
        m_inputAnswers.insert(m_inputAnswers.end(), answers);
    }
    void answerFiles(std::initializer_list<std::optional<std::string>> answers) {
        m_fileAnswers.insert(m_fileAnswers.end(), answers);
    }

    // Called as each prompt is shown, to look at the program's state at that moment.
    std::function<void(const ShownPrompt&)> onShow;
    // Called once at the next yield, as a click or a key would come in; it may set another.
    std::function<void()> onYield;

    const std::vector<ShownPrompt>& shown() const { return m_shown; }
    std::vector<std::string> messageTexts() const;
    std::vector<ShownPrompt> messages() const;  // message boxes only, no dialogs
    int yields() const { return m_yields; }
    // Every file dialog's request, in order.
    const std::vector<FileDialogRequest>& fileRequests() const { return m_fileRequests; }

    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    void yield() override {
        ++m_yields;
        if (onYield) {
            auto action = std::move(onYield);
            action();
        }
    }

private:
    std::deque<Answer> m_messageAnswers;
    std::deque<std::optional<std::string>> m_inputAnswers;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::vector<ShownPrompt> m_shown;
    std::vector<FileDialogRequest> m_fileRequests;
    int m_yields = 0;
};

class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> read(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    void write(const std::string& key, const std::string& value) override {
        values[key] = value;
        writes.push_back(key);
    }
    std::map<std::string, std::string> values;
    std::vector<std::string> writes;  // keys in the order written
};

}  // namespace velkor::test
