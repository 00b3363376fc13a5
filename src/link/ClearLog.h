#pragma once
// Erasing the log the controller keeps, from the menu.

#include "base/Outcome.h"

namespace velkor {

class ControllerLink;

constexpr const char* ClearTitle = "Clear Controller Data Buffer";
constexpr const char* ClearQuestion = "All data logged by controller will be lost. Proceed?";
constexpr const char* ClearedMessage = "Controller data buffer cleared.";
constexpr const char* ClearFailedMessage = "Command failed - controller data buffer not cleared.";

// Asks for confirmation, checks the link and the controller's state, erases, and says how it
// went: Done when the controller acknowledged the erase, Cancelled when the person declined.
// The log in memory is not touched.
Outcome mnuClearControllerBuffer_Click(ControllerLink& link);

}  // namespace velkor
