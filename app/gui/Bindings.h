#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <functional>

#include "shell/Controls.h"
#include "shell/MessageLog.h"

namespace tessary::gui {

// Each binding shows a model control in its widget and forwards the user's action: a model
// change updates the widget, a click runs the handler (or changes the model).
void bindButton(Button& model, QAbstractButton* widget, std::function<void()> handler);
void bindCheckBox(CheckBox& model, QAbstractButton* widget);
void bindTextField(TextField& model, QLineEdit* widget, bool editable);
void bindMessageLog(MessageLog& model, QTextEdit* widget);

// A log line as rich-text runs appended to the view.
void appendLogLine(QTextEdit* view, const LogLine& line);

} // namespace tessary::gui
