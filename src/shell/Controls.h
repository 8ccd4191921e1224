#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "playlist/PlaylistValues.h"
#include "shell/Signal.h"

namespace tessary {

// The window's controls as model objects. Each notifies `changed` after its state changed;
// a face binds a widget to it (model change -> widget, user action -> handler).
class Control {
public:
    explicit Control(std::string hint = {}) : hint_(std::move(hint)) {}
    virtual ~Control() = default;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { set(enabled_, enabled); }
    // The tooltip as stored; the part before a "|" is what is shown.
    const std::string& hint() const { return hint_; }
    void setHint(std::string hint) { set(hint_, std::move(hint)); }
    std::string shownHint() const { return hint_.substr(0, hint_.find('|')); }

    Signal<> changed;

protected:
    template <class T> void set(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        changed.emit();
    }

private:
    bool enabled_ = true;
    std::string hint_;
};

class Button : public Control {
public:
    Button(std::string caption, std::string hint, bool enabled)
        : Control(std::move(hint)), caption_(std::move(caption)) {
        setEnabled(enabled);
    }
    const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

// A check box or radio button. `onClick` runs after every change of the checked state,
// whether the user or the program made it.
class CheckBox : public Control {
public:
    explicit CheckBox(std::string caption = {}, std::string hint = {}, bool checked = false)
        : Control(std::move(hint)), caption_(std::move(caption)), checked_(checked) {}

    bool checked() const { return checked_; }
    void setChecked(bool checked) {
        if (checked_ == checked) return;
        checked_ = checked;
        changed.emit();
        if (onClick) onClick();
    }
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { set(caption_, std::move(caption)); }

    std::function<void()> onClick;

private:
    std::string caption_;
    bool checked_;
};

using RadioButton = CheckBox;

class TextField : public Control {
public:
    explicit TextField(std::string text = {}, std::string hint = {}, std::size_t maxLength = 0)
        : Control(std::move(hint)), text_(std::move(text)), maxLength_(maxLength) {}

    const std::string& text() const { return text_; }
    void setText(std::string text) {
        if (maxLength_ > 0 && text.size() > maxLength_) text.resize(maxLength_);
        set(text_, std::move(text));
    }
    // 0 = no limit.
    std::size_t maxLength() const { return maxLength_; }

private:
    std::string text_;
    std::size_t maxLength_;
};

// The integer field: its value is its text read as a decimal integer, 0 when it is not one.
class IntField : public TextField {
public:
    IntField(int value, std::string hint, std::size_t maxLength)
        : TextField(std::to_string(value), std::move(hint), maxLength) {}
    int value() const;
    void setValue(int value) { setText(std::to_string(value)); }
};

// A drop-down list of fixed items, one of them chosen.
class Choice : public Control {
public:
    Choice(std::vector<std::string> items, int index, std::string hint)
        : Control(std::move(hint)), items_(std::move(items)), index_(index) {}
    const std::vector<std::string>& items() const { return items_; }
    int index() const { return index_; }
    // An index outside the items chooses the first.
    void setIndex(int index) {
        set(index_, index >= 0 && index < static_cast<int>(items_.size()) ? index : 0);
    }
    // New items; an index outside them chooses none (-1).
    void setItems(std::vector<std::string> items, int index) {
        const int chosen = index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
        if (items == items_ && chosen == index_) return;
        items_ = std::move(items);
        index_ = chosen;
        changed.emit();
    }

private:
    std::vector<std::string> items_;
    int index_;
};

// A multi-line text view (or a hidden list of lines): its lines and whether it is shown.
class TextList : public Control {
public:
    const std::vector<std::string>& lines() const { return lines_; }
    void setLines(std::vector<std::string> lines) { set(lines_, std::move(lines)); }
    void addLine(std::string line) {
        lines_.push_back(std::move(line));
        changed.emit();
    }
    bool visible() const { return visible_; }
    void setVisible(bool visible) { set(visible_, visible); }

private:
    std::vector<std::string> lines_;
    bool visible_ = true;
};

// A node of a tree view with its children.

class TreeView : public Control {
public:
    explicit TreeView(std::vector<TreeNode> nodes, std::string hint = {})
        : Control(std::move(hint)), nodes_(std::move(nodes)) {}
    const std::vector<TreeNode>& nodes() const { return nodes_; }
    void setNodes(std::vector<TreeNode> nodes) { set(nodes_, std::move(nodes)); }

private:
    std::vector<TreeNode> nodes_;
};

} // namespace tessary
