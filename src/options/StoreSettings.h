#pragma once
// Writing display settings to the per-user store, one key after another, under the error prompt.

#include <string>
#include <utility>
#include <vector>

namespace velkor {

struct AppContext;

using SettingWrite = std::pair<const char*, std::string>;  // key, stored text

// Stores the settings in the order given. A failed write goes to the shared error prompt: Retry
// writes it again, Ignore goes on with the next key, Abort stops there and returns false.
bool storeSettings(AppContext& ctx, const std::vector<SettingWrite>& writes);

}  // namespace velkor
