#include "shell/task_list_model.h"

#include "platform/paths.h"
#include "profiles/language_manager.h"

#include <algorithm>

namespace kinolux {

namespace {
constexpr const char* kHeaderKeys[TaskListModel::ColumnCount] = {"strList0Info", "strList1Info", "strList2Info",
                                                                 "strList3Info"};
}  // namespace

TaskListModel::TaskListModel(QObject* parent) : QAbstractTableModel(parent) {}
TaskListModel::~TaskListModel() = default;

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    const ConversionTask& task = *row.task;
    if (role == Qt::CheckStateRole && index.column() == FileNameColumn)
        return row.checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == InColumn || index.column() == OutColumn;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case FileNameColumn: return QString::fromStdString(FileNameOf(task.inputPath));
    case InColumn: return row.rangeShown ? QVariant(qlonglong(task.inFrame)) : QVariant(QString());
    case OutColumn: return row.rangeShown ? QVariant(qlonglong(task.outFrame)) : QVariant(QString());
    case PathColumn: return QString::fromStdString(task.inputPath);
    default: return {};
    }
}

bool TaskListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != FileNameColumn) return false;
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == FileNameColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(Text("MAIN_DLG", kHeaderKeys[section]));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(section == InColumn || section == OutColumn ? Qt::AlignRight : Qt::AlignLeft);
    return {};
}

int TaskListModel::Append(std::unique_ptr<ConversionTask> task, bool checked) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows_.push_back(Row{std::move(task), checked, false});
    endInsertRows();
    return row;
}

void TaskListModel::SetChecked(int row, bool checked) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<size_t>(row)].checked = checked;
    const QModelIndex cell = index(row, FileNameColumn);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void TaskListModel::SetAllChecked(bool checked) {
    for (int row = 0; row < rowCount(); ++row) SetChecked(row, checked);
}

void TaskListModel::ShowFrameRange(int row) {
    if (row < 0 || row >= rowCount()) return;
    rows_[static_cast<size_t>(row)].rangeShown = true;
    emit dataChanged(index(row, InColumn), index(row, OutColumn), {Qt::DisplayRole});
}

void TaskListModel::RemoveRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row < 0 || row >= rowCount()) continue;
        beginRemoveRows({}, row, row);
        rows_.erase(rows_.begin() + row);
        endRemoveRows();
    }
}

void TaskListModel::RemoveUnchecked() {
    std::vector<int> unchecked;
    for (int row = 0; row < rowCount(); ++row)
        if (!IsChecked(row)) unchecked.push_back(row);
    RemoveRows(std::move(unchecked));
}

void TaskListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void TaskListModel::Relabel() { emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1); }

}  // namespace kinolux
