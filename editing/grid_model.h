#pragma once
#include "db/dataset.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace editing {

// One column of the grid view: the field it shows and how.
class GridColumn : public QObject {
    Q_OBJECT
public:
    enum class Editor { Text, CheckBox, Memo, SslCombo, TlsCombo };
    GridColumn(QObject* parent, const char* name, QString fieldName, QString caption, int width, Editor editor,
               bool focusable);
    QString fieldName;  // as written in the form; matched without regard to case
    QString caption;    // empty: the header shows the field name as reported
    int width;          // start width; 0 is the grid's default
    Editor editor;
    bool focusable;
};

// Item descriptions of the two list editors, for the values "0" to "3".
const QStringList& sslTypeNames();
const QStringList& tlsTypeNames();

// Feeds a dataset to the view, reading its held result lazily.
class GridDataSource : public QAbstractTableModel {
    Q_OBJECT
public:
    GridDataSource(QObject* parent, db::Dataset& dataset, std::vector<GridColumn*> columns);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const std::vector<GridColumn*>& columns() const { return columns_; }
    db::Dataset& dataset() const { return dataset_; }
    int fieldOf(int column) const { return fieldOf_[column]; }

    // Writes one cell's new value (nullopt: NULL) to the database; returns
    // false when the write failed. The dataset takes the value afterwards.
    std::function<bool(int row, int field, const std::optional<std::string>& value)> onEdit;

    // Called by the dataset's observer when its contents change.
    void datasetReset();

private:
    db::Dataset& dataset_;
    std::vector<GridColumn*> columns_;
    std::vector<int> fieldOf_;  // -1 where the dataset has no such field
};

// The table view; its focused-record handler can be detached and attached.
class GridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    std::function<void()> OnFocusedRecordChanged;
};

// Pick-only list editor for the TLS column, storing the index 0 to 3.
class TlsComboDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

}  // namespace editing
