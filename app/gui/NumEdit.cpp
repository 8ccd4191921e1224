#include "NumEdit.h"

#include <QKeyEvent>

namespace tessary::gui {

void NumEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    char key = 0;
    if (event->key() == Qt::Key_Backspace)
        key = '\b';
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = '\r';
    else if (text.size() == 1 && text.at(0).unicode() < 128)
        key = static_cast<char>(text.at(0).unicode());
    else if (!text.isEmpty())
        key = '\x7f'; // any other character is refused
    // Keys that type nothing (arrows, Home, Delete...) move and edit as usual.
    if (key != 0 && !acceptKey_(key)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tessary::gui
