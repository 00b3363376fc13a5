#include "live/RealTimeView.h"

#include "app/AppContext.h"
#include "app/MainView.h"
#include "link/SerialPort.h"

namespace velkor {

void closeRealTimeView(AppContext& ctx) {
    ctx.data.state.RealTimeActive = false;
    ctx.view.showRealTimeFrame(false);
    if (ctx.port.isOpen()) {
        ctx.port.close();
    }
}

}  // namespace velkor
