#pragma once

#include "platform/Format.h"

namespace tessary::gui {

// The user's decimal separator and time separator, as the report formats numbers and times.
LocaleSettings userLocale();

} // namespace tessary::gui
