#include "options/StoreSettings.h"

#include "base/AppContext.h"
#include "base/Prompts.h"
#include "base/SettingsStore.h"

namespace velkor {

bool storeSettings(AppContext& ctx, const std::vector<SettingWrite>& writes) {
    for (const auto& [key, text] : writes) {
        const StepResult result = runStep(ctx.prompts, [&] { ctx.settings.write(key, text); });
        if (result == StepResult::Aborted) {
            return false;
        }
    }
    return true;
}

}  // namespace velkor
