#pragma once

#include <QLineEdit>
#include <functional>

namespace tessary::gui {

// The integer field: typed characters go through `acceptKey` first; refused ones are
// swallowed (the model beeps).
class NumEdit : public QLineEdit {
public:
    NumEdit(std::function<bool(char)> acceptKey, QWidget* parent = nullptr)
        : QLineEdit(parent), acceptKey_(std::move(acceptKey)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(char)> acceptKey_;
};

} // namespace tessary::gui
