#pragma once
// A run-time error on its way to the shared error prompt: the number, source and description a
// person sees and that the operation's handler acts on.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace velkor {

// Error numbers the program raises. The communication and file-dialog numbers are the
// application-defined ones the controller link and the file dialogs have always used.
namespace ErrorNumber {
constexpr std::uint32_t InvalidArgument = 5;
constexpr std::uint32_t Overflow = 6;
constexpr std::uint32_t SubscriptOutOfRange = 9;
constexpr std::uint32_t TypeMismatch = 13;
constexpr std::uint32_t FileNotFound = 53;
constexpr std::uint32_t InputPastEndOfFile = 62;
constexpr std::uint32_t PathFileAccess = 75;
constexpr std::uint32_t InvalidPropertyValue = 380;
constexpr std::uint32_t InvalidPicture = 481;
constexpr std::uint32_t CommError = 0x800403E8;
constexpr std::uint32_t CanceledFileSave = 0x800403E9;
constexpr std::uint32_t CanceledFileOpen = 0x800403E8;
}  // namespace ErrorNumber

class AppError : public std::exception {
public:
    AppError(std::uint32_t number, std::string source, std::string description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)) {}

    std::uint32_t number() const { return m_number; }
    const std::string& source() const { return m_source; }
    const std::string& description() const { return m_description; }
    // The same fault in a terminal's words, where the description speaks of the windows'
    // buttons and menus; the description itself when it needs none.
    const std::string& terminalDescription() const {
        return m_terminalDescription.empty() ? m_description : m_terminalDescription;
    }
    AppError& withTerminalDescription(std::string text) {
        m_terminalDescription = std::move(text);
        return *this;
    }
    const char* what() const noexcept override { return m_description.c_str(); }

private:
    std::uint32_t m_number;
    std::string m_source;
    std::string m_description;
    std::string m_terminalDescription;
};

}  // namespace velkor
