#include "AppIcon.h"

namespace tessary::gui {

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/tessary-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tessary::gui
