#include "base/WindowFit.h"

#include <algorithm>

namespace velkor {

Extent fitOnScreen(Extent wanted, Extent room) {
    return {std::max(1, std::min(wanted.width, room.width - FrameAllowance.width)),
            std::max(1, std::min(wanted.height, room.height - FrameAllowance.height))};
}

}  // namespace velkor
