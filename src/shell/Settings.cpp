#include "shell/Settings.h"

#include "shell/Main.h"

namespace tessary {

// Loading and saving the settings table; filled in with the settings store.
void TfMain::RegRead() {}
void TfMain::RegWrite() {}

} // namespace tessary
