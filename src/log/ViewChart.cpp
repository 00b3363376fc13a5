#include "log/ViewChart.h"

#include "base/AppContext.h"
#include "base/MainView.h"
#include "base/Prompts.h"
#include "link/ControllerLink.h"

namespace velkor {

void mnuViewChart_Click(AppContext& ctx) {
    closeRealTimeView(ctx);
    if (ctx.data.log.DataBufferEmpty) {
        ctx.prompts.message(EmptyLogMessage, "View Chart", Icon::Exclamation, Buttons::Ok);
        return;
    }
    ctx.view.openChartWindow();
}

}  // namespace velkor
