#include "logbookui/LogbookModel.h"

#include <QFont>

#include "logbook/LogbookTable.h"

namespace velkor {

namespace {

LogbookColumn columnAt(int column) {
    return LogbookColumn(column);
}

}  // namespace

LogbookModel::LogbookModel(QObject* parent) : QAbstractTableModel(parent) {}

void LogbookModel::setPasses(std::vector<Pass> passes, std::optional<std::int64_t> reference) {
    beginResetModel();
    m_passes = std::move(passes);
    m_reference = reference;
    endResetModel();
}

const Pass* LogbookModel::passAt(int row) const {
    if (row < 0 || row >= int(m_passes.size())) {
        return nullptr;
    }
    return &m_passes[std::size_t(row)];
}

int LogbookModel::rowOf(std::int64_t passId) const {
    for (std::size_t row = 0; row < m_passes.size(); ++row) {
        if (m_passes[row].id == passId) {
            return int(row);
        }
    }
    return -1;
}

int LogbookModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_passes.size());
}

int LogbookModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LogbookColumnCount;
}

QVariant LogbookModel::data(const QModelIndex& index, int role) const {
    const Pass* pass = passAt(index.row());
    if (pass == nullptr || index.column() < 0 || index.column() >= LogbookColumnCount) {
        return {};
    }
    const LogbookColumn column = columnAt(index.column());
    const bool isReference = m_reference && *m_reference == pass->id;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            QString text = QString::fromStdString(cellText(*pass, column));
            if (role == Qt::DisplayRole && column == LogbookColumn::Date && isReference) {
                text = QString::fromUtf8("\u2605 ") + text;
            }
            return text;
        }
        case SortRole: {
            if (const std::optional<double> value = sortValue(*pass, column)) {
                return *value;
            }
            if (column == LogbookColumn::Date) {
                return QString::fromStdString(pass->downloadDate + pass->filePath) +
                       QString::number(pass->runNumber).rightJustified(3, '0');
            }
            const QString text = QString::fromStdString(cellText(*pass, column)).toLower();
            return text.isEmpty() ? QVariant() : QVariant(text);
        }
        case Qt::ToolTipRole:
            if (column == LogbookColumn::File) {
                return QString::fromLocal8Bit(pass->filePath.c_str());
            }
            if (isReference) {
                return QStringLiteral("The reference pass");
            }
            return {};
        case Qt::FontRole:
            if (isReference) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::TextAlignmentRole:
            if (sortValue(*pass, column) || column == LogbookColumn::DensityAltitude) {
                return int(Qt::AlignRight | Qt::AlignVCenter);
            }
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant LogbookModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= LogbookColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return QString::fromStdString(columnTitle(columnAt(section)));
    }
    if (role == Qt::ToolTipRole) {
        return QString::fromStdString(columnHint(columnAt(section)));
    }
    return {};
}

Qt::ItemFlags LogbookModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isEditable(columnAt(index.column()))) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool LogbookModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const Pass* pass = passAt(index.row());
    if (role != Qt::EditRole || pass == nullptr || !m_edit) {
        return false;
    }
    const std::string text = value.toString().toStdString();
    if (text == cellText(*pass, columnAt(index.column()))) {
        return false;  // nothing typed: nothing to keep
    }
    const std::optional<LogbookEntry> entry = m_edit(*pass, index.column(), text);
    if (!entry) {
        return false;
    }
    // The row shows the entry at once, so that the next cell typed into builds on it.
    Pass& edited = m_passes[std::size_t(index.row())];
    edited.track = entry->track;
    edited.car = entry->car;
    edited.note = entry->note;
    edited.tempF = entry->tempF;
    edited.baroInHg = entry->baroInHg;
    edited.humidityPct = entry->humidityPct;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), LogbookColumnCount - 1));
    return true;
}

bool LogbookSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(LogbookModel::SortRole);
    const QVariant b = right.data(LogbookModel::SortRole);
    // Unknown figures go last whichever way the column is sorted.
    const bool descending = sortOrder() == Qt::DescendingOrder;
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid()) {
            return false;
        }
        return a.isValid() ? !descending : descending;
    }
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
        return a.toDouble() < b.toDouble();
    }
    return QString::compare(a.toString(), b.toString()) < 0;
}

}  // namespace velkor
