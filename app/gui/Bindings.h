#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QTreeWidget>
#include <functional>

#include "shell/Controls.h"
#include "shell/MessageLog.h"

namespace tessary::gui {

// Each binding shows a model control in its widget and forwards the user's action: a model
// change updates the widget, a click runs the handler (or changes the model).
void bindButton(Button& model, QAbstractButton* widget, std::function<void()> handler);
void bindCheckBox(CheckBox& model, QAbstractButton* widget);
// A check box whose caption is a word-wrapped label beside it (for a long caption in a narrow
// column): a click on the label toggles the box, and both show the hint.
void bindWrappedCheckBox(CheckBox& model, QAbstractButton* box, QLabel* caption);
void bindTextField(TextField& model, QLineEdit* widget, bool editable);
void bindChoice(Choice& model, QComboBox* widget);
void bindMessageLog(MessageLog& model, QTextEdit* widget);
// The tree is rebuilt whenever the model's nodes change; the top nodes are shown expanded.
void bindTreeView(TreeView& model, QTreeWidget* widget);
// The lines joined by line breaks, shown or hidden as the model says. The view is read-only
// and keeps its own tooltip when the model has none.
void bindTextList(TextList& model, QPlainTextEdit* widget);

// A log line as rich-text runs appended to the view.
void appendLogLine(QTextEdit* view, const LogLine& line);

} // namespace tessary::gui
