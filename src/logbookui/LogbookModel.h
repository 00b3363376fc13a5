#pragma once
// The logbook's passes as a Qt table: the cells' texts, the values the columns sort by, and the
// editable cells, whose typed text goes back to the logbook through the edit callback.

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logbook/Logbook.h"
#include "logbook/Pass.h"

namespace velkor {

class LogbookModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Takes a row's pass and the text typed into one of its cells; returns the entry as it now
    // stands, or nothing when the text was refused (the callback has said why).
    using Edit = std::function<std::optional<LogbookEntry>(const Pass&, int column,
                                                           const std::string& text)>;

    explicit LogbookModel(QObject* parent = nullptr);

    void setPasses(std::vector<Pass> passes, std::optional<std::int64_t> reference);
    void setEdit(Edit edit) { m_edit = std::move(edit); }
    const std::vector<Pass>& passes() const { return m_passes; }
    const Pass* passAt(int row) const;
    int rowOf(std::int64_t passId) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // What the model sorts by (Qt::UserRole): the figure, or the text in lower case.
    static constexpr int SortRole = Qt::UserRole;

private:
    std::vector<Pass> m_passes;
    std::optional<std::int64_t> m_reference;
    Edit m_edit;
};

// Sorts by the model's sort values, with passes that lack the figure always at the end.
class LogbookSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace velkor
