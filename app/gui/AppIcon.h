#pragma once

#include <QIcon>

namespace tessary::gui {

// The program's icon in every size the desktop theme gets it in, from the compiled-in
// resources: the window's and the task bar's.
QIcon applicationIcon();

} // namespace tessary::gui
