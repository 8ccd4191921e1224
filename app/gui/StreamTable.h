#pragma once

#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QWidget>

#include "shell/Main.h"
#include "shell/StreamRows.h"

namespace tessary::gui {

class StreamTableModel;

// The "Streams" page: a sortable table of the streams the last Read found, one row per
// stream, whose tick boxes are the window model's stream boxes; buttons that tick all or none
// (of every kind or of one); and the details of the selected stream as selectable text.
class StreamTable : public QWidget {
public:
    StreamTable(TfMain& main, QWidget* parent);

private:
    void refresh();
    void showDetails();

    TfMain& main_;
    StreamTableModel* model_ = nullptr;
    QSortFilterProxyModel* proxy_ = nullptr;
    QTableView* view_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
};

} // namespace tessary::gui
