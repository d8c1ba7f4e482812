// The task list: one row per movie, owning its ConversionTask, with a check
// box saying whether "Convert" takes it. Four columns: the file name, the in
// and out frames (empty until the task is shown) and the full path. The
// window's table view only displays this model.
#pragma once

#include "engine/conversion_task.h"

#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace kinolux {

class TaskListModel : public QAbstractTableModel {
public:
    enum Column { FileNameColumn, InColumn, OutColumn, PathColumn, ColumnCount };

    explicit TaskListModel(QObject* parent = nullptr);
    ~TaskListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Appends the task; returns its row.
    int Append(std::unique_ptr<ConversionTask> task, bool checked);
    ConversionTask& Task(int row) const { return *rows_[static_cast<size_t>(row)].task; }
    bool IsChecked(int row) const { return rows_[static_cast<size_t>(row)].checked; }
    void SetChecked(int row, bool checked);
    void SetAllChecked(bool checked);

    // The in and out columns show the task's frame range from now on.
    void ShowFrameRange(int row);

    // Removes the rows, freeing their tasks (any order, duplicates allowed).
    void RemoveRows(std::vector<int> rows);
    void RemoveUnchecked();
    void Clear();

    // The header texts follow the language.
    void Relabel();

private:
    struct Row {
        std::unique_ptr<ConversionTask> task;
        bool checked = true;
        bool rangeShown = false;
    };
    std::vector<Row> rows_;
};

}  // namespace kinolux
