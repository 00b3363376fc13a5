#include "chart/ViewChart.h"

#include "base/AppContext.h"
#include "app/MainView.h"
#include "base/Prompts.h"
#include "live/RealTimeView.h"

namespace velkor {

void mnuViewChart_Click(AppContext& ctx) {
    closeRealTimeView(ctx);
    if (ctx.data.log.DataBufferEmpty) {
        ctx.prompts.message("Data buffer empty.", "View Chart", Icon::Exclamation, Buttons::Ok);
        return;
    }
    ctx.view.openChartWindow();
}

}  // namespace velkor
