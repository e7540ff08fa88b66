#include "grid_model.h"

#include <QComboBox>

namespace editing {

GridColumn::GridColumn(QObject* parent, const char* name, QString field, QString cap, int w, Editor e, bool f)
    : QObject(parent), fieldName(std::move(field)), caption(std::move(cap)), width(w), editor(e), focusable(f)
{
    setObjectName(QString::fromLatin1(name));
}

const QStringList& sslTypeNames()
{
    static const QStringList names{"sslvSSLv2", "sslvSSLv23", "sslvSSLv3", "sslvTLSv1"};
    return names;
}

const QStringList& tlsTypeNames()
{
    static const QStringList names{"None", "Implicit", "Require", "Explicit"};
    return names;
}

namespace {

// The description of the item whose value is the cell's text, or nothing.
QString itemText(const QStringList& names, std::string_view cell)
{
    if (cell.size() == 1 && cell[0] >= '0' && cell[0] <= '3')
        return names[cell[0] - '0'];
    return {};
}

}  // namespace

GridDataSource::GridDataSource(QObject* parent, db::Dataset& dataset, std::vector<GridColumn*> columns)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns)), fieldOf_(columns_.size(), -1)
{
    setObjectName("DataSource1");
}

void GridDataSource::datasetReset()
{
    beginResetModel();
    const int n = dataset_.active() ? dataset_.fieldCount() : 0;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        fieldOf_[c] = -1;
        const QString wanted = columns_[c]->fieldName;
        for (int f = 0; f < n; ++f)
            if (QString::fromStdString(dataset_.fieldName(f)).compare(wanted, Qt::CaseInsensitive) == 0) {
                fieldOf_[c] = f;
                break;
            }
    }
    endResetModel();
}

int GridDataSource::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !dataset_.active() ? 0 : dataset_.recordCount();
}

int GridDataSource::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant GridDataSource::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !dataset_.active())
        return {};
    const int field = fieldOf_[index.column()];
    if (field < 0)
        return {};
    const GridColumn& col = *columns_[index.column()];
    const auto v = dataset_.value(index.row(), field);
    if (col.editor == GridColumn::Editor::CheckBox) {
        if (role == Qt::CheckStateRole)
            return v && *v == "t" ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (!v)
        return QString();
    if (col.editor == GridColumn::Editor::SslCombo)
        return itemText(sslTypeNames(), *v);
    if (col.editor == GridColumn::Editor::TlsCombo)
        return role == Qt::EditRole ? QVariant(QString::fromUtf8(v->data(), qsizetype(v->size())))
                                    : QVariant(itemText(tlsTypeNames(), *v));
    return QString::fromUtf8(v->data(), qsizetype(v->size()));
}

QVariant GridDataSource::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= int(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn& col = *columns_[section];
    if (!col.caption.isEmpty())
        return col.caption;
    if (fieldOf_[section] >= 0)
        return QString::fromStdString(dataset_.fieldName(fieldOf_[section]));
    return col.fieldName.toLower();  // what the database will report
}

Qt::ItemFlags GridDataSource::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const GridColumn& col = *columns_[index.column()];
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (col.editor == GridColumn::Editor::CheckBox)
        f |= Qt::ItemIsUserCheckable;
    if (col.focusable && fieldOf_[index.column()] >= 0)
        f |= col.editor == GridColumn::Editor::CheckBox ? Qt::ItemIsEnabled : Qt::ItemIsEditable;
    else if (col.editor == GridColumn::Editor::CheckBox)
        f &= ~Qt::ItemIsUserCheckable;  // shown, not changed
    return f;
}

bool GridDataSource::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !dataset_.active() || !onEdit)
        return false;
    const GridColumn& col = *columns_[index.column()];
    const int field = fieldOf_[index.column()];
    if (!col.focusable || field < 0)
        return false;
    std::optional<std::string> v;
    if (col.editor == GridColumn::Editor::CheckBox) {
        if (role != Qt::CheckStateRole)
            return false;
        v = value.toInt() == Qt::Checked ? "t" : "f";
    } else if (role == Qt::EditRole) {
        if (!value.isNull())
            v = value.toString().toStdString();
    } else {
        return false;
    }
    if (dataset_.value(index.row(), field) == v)
        return true;  // nothing changed, nothing to write
    if (!onEdit(index.row(), field, v))
        return false;
    dataset_.setValue(index.row(), field, v);
    emit dataChanged(index, index);
    return true;
}

QWidget* TlsComboDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* box = new QComboBox(parent);
    box->addItems(tlsTypeNames());
    return box;
}

void TlsComboDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    bool ok = false;
    const int i = index.data(Qt::EditRole).toString().toInt(&ok);
    static_cast<QComboBox*>(editor)->setCurrentIndex(ok && i >= 0 && i <= 3 ? i : -1);
}

void TlsComboDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const int i = static_cast<QComboBox*>(editor)->currentIndex();
    if (i >= 0)
        model->setData(index, QString::number(i), Qt::EditRole);
}

}  // namespace editing
