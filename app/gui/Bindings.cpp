#include "Bindings.h"

#include <QEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <memory>
#include <optional>

namespace tessary::gui {

namespace {
QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

void showCommon(const Control& model, QWidget* widget) {
    widget->setEnabled(model.enabled());
    widget->setToolTip(qs(model.shownHint()));
}
} // namespace

void bindButton(Button& model, QAbstractButton* widget, std::function<void()> handler) {
    if (!model.caption().empty()) widget->setText(qs(model.caption()));
    showCommon(model, widget);
    model.changed.connect([&model, widget] { showCommon(model, widget); });
    QObject::connect(widget, &QAbstractButton::clicked, widget,
                     [handler = std::move(handler)] { handler(); });
}

void bindCheckBox(CheckBox& model, QAbstractButton* widget) {
    auto show = [&model, widget] {
        showCommon(model, widget);
        widget->setText(qs(model.caption()));
        if (widget->isChecked() != model.checked()) widget->setChecked(model.checked());
    };
    show();
    model.changed.connect(show);
    // toggled rather than clicked: radio buttons also report the one that was switched off.
    QObject::connect(widget, &QAbstractButton::toggled, widget,
                     [&model](bool checked) { model.setChecked(checked); });
}

namespace {
// Toggles the box when its label is clicked, as a check box's own text does.
class LabelClick : public QObject {
public:
    LabelClick(QAbstractButton* box, QObject* parent) : QObject(parent), box_(box) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease && box_->isEnabled()) box_->click();
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton* box_;
};
} // namespace

void bindWrappedCheckBox(CheckBox& model, QAbstractButton* box, QLabel* caption) {
    bindCheckBox(model, box);
    box->setText({});
    caption->setWordWrap(true);
    auto show = [&model, box, caption] {
        box->setText({});
        showCommon(model, caption);
        caption->setText(qs(model.caption()));
    };
    show();
    model.changed.connect(show);
    caption->installEventFilter(new LabelClick(box, caption));
}

void bindTextField(TextField& model, QLineEdit* widget, bool editable) {
    widget->setReadOnly(!editable);
    if (model.maxLength() > 0) widget->setMaxLength(static_cast<int>(model.maxLength()));
    auto show = [&model, widget] {
        showCommon(model, widget);
        const QString text = qs(model.text());
        if (widget->text() != text) widget->setText(text);
    };
    show();
    model.changed.connect(show);
    if (editable)
        QObject::connect(widget, &QLineEdit::textEdited, widget,
                         [&model](const QString& text) { model.setText(text.toStdString()); });
}

void bindChoice(Choice& model, QComboBox* widget) {
    auto show = [&model, widget] {
        showCommon(model, widget);
        // The items are replaced only when they changed: a list being opened stays open.
        bool same = widget->count() == static_cast<int>(model.items().size());
        for (int i = 0; same && i < widget->count(); ++i)
            same = widget->itemText(i) == qs(model.items()[static_cast<std::size_t>(i)]);
        if (!same) {
            const QSignalBlocker blocker(widget);
            widget->clear();
            for (const std::string& item : model.items())
                widget->addItem(qs(item));
        }
        if (widget->currentIndex() != model.index()) widget->setCurrentIndex(model.index());
    };
    show();
    model.changed.connect(show);
    QObject::connect(widget, &QComboBox::activated, widget,
                     [&model](int index) { model.setIndex(index); });
}

void appendLogLine(QTextEdit* view, const LogLine& line) {
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    if (!view->document()->isEmpty()) cursor.insertBlock();
    for (const Run& run : line.runs) {
        const RunAttributes& a = run.attributes;
        QTextCharFormat format;
        format.setFontWeight(a.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(a.italic);
        format.setFontUnderline(a.underline);
        format.setFontPointSize(a.pointSize);
        if (a.colour)
            format.setForeground(QColor(a.colour->r, a.colour->g, a.colour->b));
        else
            format.setForeground(view->palette().color(QPalette::Text));
        cursor.insertText(qs(run.text), format);
    }
    // Follow the output: the newest line stays in view.
    view->setTextCursor(cursor);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
}

void bindMessageLog(MessageLog& model, QTextEdit* widget) {
    widget->setReadOnly(true);
    widget->setLineWrapMode(QTextEdit::NoWrap);
    for (const LogLine& line : model.lines())
        appendLogLine(widget, line);
    model.appended.connect(
        [&model, widget](std::size_t index) { appendLogLine(widget, model.lines()[index]); });
    model.cleared.connect([widget] { widget->clear(); });
}

namespace {
void addTreeNodes(QTreeWidgetItem* parent, const std::vector<TreeNode>& nodes) {
    for (const TreeNode& node : nodes)
        addTreeNodes(new QTreeWidgetItem(parent, QStringList(qs(node.text))), node.children);
}
} // namespace

void bindTreeView(TreeView& model, QTreeWidget* widget) {
    // Only a change of the nodes rebuilds the tree: a new hint or state keeps its selection.
    auto shown = std::make_shared<std::optional<std::vector<TreeNode>>>();
    auto show = [&model, widget, shown] {
        showCommon(model, widget);
        if (*shown == model.nodes()) return;
        *shown = model.nodes();
        widget->clear();
        for (const TreeNode& node : model.nodes()) {
            auto* item = new QTreeWidgetItem(widget, QStringList(qs(node.text)));
            addTreeNodes(item, node.children);
            item->setExpanded(true);
        }
    };
    show();
    model.changed.connect(show);
}

void bindTextList(TextList& model, QPlainTextEdit* widget) {
    widget->setReadOnly(true);
    auto show = [&model, widget] {
        widget->setEnabled(model.enabled());
        if (!model.hint().empty()) widget->setToolTip(qs(model.shownHint()));
        QStringList lines;
        for (const std::string& line : model.lines())
            lines << qs(line);
        const QString text = lines.join('\n');
        if (widget->toPlainText() != text) widget->setPlainText(text);
        widget->setVisible(model.visible());
    };
    show();
    model.changed.connect(show);
}

} // namespace tessary::gui
