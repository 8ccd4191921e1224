#include "StreamTable.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace tessary::gui {

namespace {
QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// The role the proxy sorts by: a number where the column holds one, else the text.
constexpr int kSortRole = Qt::UserRole;

bool numericColumn(StreamColumn column) {
    switch (column) {
    case StreamColumn::Key:
    case StreamColumn::Kind:
    case StreamColumn::Delay:
    case StreamColumn::Frames:
    case StreamColumn::Duration: return true;
    default: return false;
    }
}
} // namespace

// The rows as a model: column 0 is the stream's box, the others the rows' cells.
class StreamTableModel : public QAbstractTableModel {
public:
    StreamTableModel(TfMain& main, QObject* parent) : QAbstractTableModel(parent), main_(main) {
        for (int slot = 1; slot <= kLastSlot; ++slot)
            if (CheckBox* box = main_.boxOfSlot(slot))
                box->changed.connect([this, slot] { boxChanged(slot); });
    }

    void setRows(std::vector<StreamRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<StreamRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 1 + kStreamColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const StreamRow& row = rows_[static_cast<std::size_t>(index.row())];
        const CheckBox* box = main_.boxOfSlot(row.slot);
        if (role == Qt::ToolTipRole && box) {
            const std::string hint = box->shownHint();
            return qs(hint.empty() || hint == box->caption() ? box->caption()
                                                             : box->caption() + "\n" + hint);
        }
        if (index.column() == 0) {
            if (role == Qt::CheckStateRole && box)
                return box->checked() ? Qt::Checked : Qt::Unchecked;
            if (role == kSortRole && box) return box->checked() ? 1 : 0;
            return {};
        }
        const auto column = static_cast<StreamColumn>(index.column() - 1);
        const StreamCell& cell = row.cell(column);
        if (role == Qt::DisplayRole) return qs(cell.text);
        if (role == Qt::TextAlignmentRole && cell.order && column != StreamColumn::Key &&
            column != StreamColumn::Kind)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role == kSortRole) {
            if (cell.order) return *cell.order;
            if (numericColumn(column)) return std::numeric_limits<double>::lowest();
            return qs(cell.text);
        }
        return {};
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
        CheckBox* box = main_.boxOfSlot(rows_[static_cast<std::size_t>(index.row())].slot);
        if (!box || !box->enabled() || main_.passRunning()) return false;
        box->setChecked(value.toInt() == Qt::Checked);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (!index.isValid()) return {};
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0) {
            const CheckBox* box =
                main_.boxOfSlot(rows_[static_cast<std::size_t>(index.row())].slot);
            flags |= Qt::ItemIsUserCheckable;
            if (!box || !box->enabled() || main_.passRunning()) flags &= ~Qt::ItemIsEnabled;
        }
        return flags;
    }

    // While a command runs the ticks are locked (and shown so).
    void ticksLockChanged() {
        if (!rows_.empty())
            Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, 0));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        if (section == 0) return QString();
        return QString(streamColumnTitle(static_cast<StreamColumn>(section - 1)));
    }

private:
    // A box changed by the model (a Read, a playlist, the settings, a click): its row follows.
    void boxChanged(int slot) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].slot == slot) {
                const int row = static_cast<int>(i);
                Q_EMIT dataChanged(index(row, 0), index(row, kStreamColumns));
            }
    }

    static constexpr int kLastSlot = 64;
    TfMain& main_;
    std::vector<StreamRow> rows_;
};

StreamTable::StreamTable(TfMain& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName("StreamTable");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    // Tick all or none, of every kind and of each kind.
    auto* buttonRow = new QWidget(this);
    auto* buttons = new QHBoxLayout(buttonRow);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto addButtons = [&](const QString& label, const QString& name,
                          std::optional<StreamKind> kind) {
        if (!label.isEmpty()) buttons->addWidget(new QLabel(label, buttonRow));
        for (const bool ticked : {true, false}) {
            // Tool buttons: the row fits the window's smallest width.
            auto* button = new QToolButton(buttonRow);
            button->setText(ticked ? "All" : "None");
            button->setObjectName((ticked ? "bAll" : "bNone") + name);
            button->setToolTip(ticked ? "Tick every stream of this kind"
                                      : "Untick every stream of this kind");
            connect(button, &QToolButton::clicked, this,
                    [this, kind, ticked] { tickRows(main_, model_->rows(), kind, ticked); });
            buttons->addWidget(button);
        }
        buttons->addSpacing(8);
    };
    addButtons("Streams:", "Streams", std::nullopt);
    addButtons("Video:", "Video", StreamKind::Video);
    addButtons("Audio:", "Audio", StreamKind::Audio);
    addButtons("Subpicture:", "Sub", StreamKind::Subpicture);
    buttons->addStretch(1);
    layout->addWidget(buttonRow);

    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName("splStreams");
    split->setChildrenCollapsible(false);
    model_ = new StreamTableModel(main_, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(kSortRole);
    view_ = new QTableView(split);
    view_->setObjectName("tvStreams");
    view_->setModel(proxy_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSortingEnabled(true);
    view_->sortByColumn(1, Qt::AscendingOrder);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setToolTip("Tick the streams to demux");
    details_ = new QPlainTextEdit(split);
    details_->setObjectName("mStreamDetails");
    details_->setReadOnly(true);
    details_->setLineWrapMode(QPlainTextEdit::NoWrap);
    details_->setToolTip("The selected stream's details");
    split->addWidget(view_);
    split->addWidget(details_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showDetails(); });
    main_.streamsChanged.connect([this] { refresh(); });
    main_.runningChanged.connect([this, buttonRow] {
        buttonRow->setEnabled(!main_.passRunning());
        model_->ticksLockChanged();
    });
    refresh();
}

void StreamTable::refresh() {
    model_->setRows(streamRows(main_));
    view_->resizeColumnsToContents();
    if (proxy_->rowCount() > 0) view_->setCurrentIndex(proxy_->index(0, 1));
    showDetails();
}

void StreamTable::showDetails() {
    const QModelIndex current = proxy_->mapToSource(view_->currentIndex());
    QStringList lines;
    if (current.isValid())
        for (const std::string& line :
             model_->rows()[static_cast<std::size_t>(current.row())].details)
            lines << qs(line);
    details_->setPlainText(lines.join('\n'));
}

} // namespace tessary::gui
