#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

namespace velkor::test {

namespace {
// The box's first button: OK, Yes, Retry or Abort.
Answer firstButton(Buttons b) {
    return b == Buttons::YesNo || b == Buttons::YesNoCancel ? Answer::Yes
           : b == Buttons::RetryCancel                      ? Answer::Retry
           : b == Buttons::AbortRetryIgnore                 ? Answer::Abort
                                                            : Answer::Ok;
}

// The next scripted answer; a failure and no answer when the script has run out.
std::optional<std::string> nextAnswer(std::deque<std::optional<std::string>>& answers,
                                      const char* what, const std::string& name) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << what << " \"" << name << "\"";
        return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}
}  // namespace

std::vector<std::string> ScriptedPrompts::messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& prompt : messages()) {
        texts.push_back(prompt.text);
    }
    return texts;
}

std::vector<ShownPrompt> ScriptedPrompts::messages() const {
    std::vector<ShownPrompt> result;
    for (const auto& prompt : m_shown) {
        if (prompt.kind == ShownPrompt::Kind::Message) {
            result.push_back(prompt);
        }
    }
    return result;
}

Answer ScriptedPrompts::message(const std::string& text, const std::string& title, Icon icon,
                                Buttons buttons) {
    m_shown.push_back({ShownPrompt::Kind::Message, text, title, icon, buttons});
    if (onShow) {
        onShow(m_shown.back());
    }
    if (m_messageAnswers.empty()) {
        ADD_FAILURE() << "unexpected message box \"" << text << "\" titled \"" << title << "\"";
        return firstButton(buttons);
    }
    const Answer answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& /*defaultText*/) {
    m_shown.push_back({ShownPrompt::Kind::Input, prompt, title});
    return nextAnswer(m_inputAnswers, "input box", prompt);
}

std::optional<std::string> ScriptedPrompts::openFileName(const FileDialogRequest& request) {
    m_shown.push_back({ShownPrompt::Kind::OpenFile, request.title, request.filter});
    m_fileRequests.push_back(request);
    return nextAnswer(m_fileAnswers, "open dialog", request.title);
}

std::optional<std::string> ScriptedPrompts::saveFileName(const FileDialogRequest& request) {
    m_shown.push_back({ShownPrompt::Kind::SaveFile, request.title, request.filter});
    m_fileRequests.push_back(request);
    return nextAnswer(m_fileAnswers, "save dialog", request.title);
}

}  // namespace velkor::test
