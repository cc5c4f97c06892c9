#include "foundation/boundary.h"

namespace tarvox::boundary_detail {

int& Depth() noexcept {
    thread_local int depth = 0;
    return depth;
}

}  // namespace tarvox::boundary_detail
