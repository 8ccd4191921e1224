#include "UserLocale.h"

#include <QLocale>

namespace tessary::gui {

LocaleSettings userLocale() {
    const QLocale locale = QLocale::system();
    LocaleSettings settings;
    const QString decimal = locale.decimalPoint();
    if (decimal.size() == 1 && decimal.at(0).unicode() < 128)
        settings.decimalSeparator = static_cast<char>(decimal.at(0).unicode());
    // The separator between hours and minutes of the locale's long time format.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    const qsizetype hour = format.indexOf('h', 0, Qt::CaseInsensitive);
    if (hour >= 0) {
        qsizetype i = hour;
        while (i < format.size() && format.at(i).toLower() == 'h')
            ++i;
        if (i < format.size() && format.at(i).unicode() < 128 && !format.at(i).isLetter())
            settings.timeSeparator = static_cast<char>(format.at(i).unicode());
    }
    return settings;
}

} // namespace tessary::gui
