#include "options/StoreSettings.h"

#include "base/AppContext.h"
#include "base/Prompts.h"
#include "base/SettingsStore.h"

namespace velkor {

bool storeSettings(AppContext& ctx, const std::vector<SettingWrite>& writes) {
    for (const SettingWrite& setting : writes) {
        const StepResult result =
            runStep(ctx.prompts, [&] { ctx.settings.write(setting.first, setting.second); });
        if (result == StepResult::Aborted) {
            return false;
        }
    }
    return true;
}

}  // namespace velkor
