#pragma once

#include <QStringList>

#include "config/AppPaths.h"

namespace vornex {

// Makes sure the home folder holds "config.ini" (naming the default language), "Data/" and
// "Language/". Anything that already exists is left exactly as it is. Nothing here stops the
// program: each step that failed is described in the returned list, empty when all went well.
QStringList prepareHome(const AppPaths& paths);

}  // namespace vornex
