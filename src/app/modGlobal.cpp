#include "app/modGlobal.h"

namespace stampwell::app {

GlobalState& Global() {
    static GlobalState state;
    return state;
}

} // namespace stampwell::app
