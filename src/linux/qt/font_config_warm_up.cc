#include "linux/qt/font_config_warm_up.h"

#include <fontconfig/fontconfig.h>

namespace tarnwick {

// FcInit() keeps the configuration it loads as the current one, where Qt's font database finds
// it. Should it fail, Qt's own call fails the same way and reports it.
FontConfigWarmUp::FontConfigWarmUp() : thread_([] { FcInit(); }) {}

}  // namespace tarnwick
