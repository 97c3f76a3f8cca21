#pragma once
// The main window's case list: a table model over the rows of listed cases, and the feed
// that fills it from the case book in batches, so that listing a whole book never holds up
// the window.
#include <QAbstractTableModel>
#include <QTimer>

#include <cstdint>
#include <optional>
#include <vector>

#include "casebook/CaseRecord.h"
#include "casebook/Database.h"

namespace qingheng {

// Rows in the order they were listed, never sorted. Columns: 求测人, 日期, 类别, 占问事宜, ID.
class CaseListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, DateColumn, CategoryColumn, QuestionColumn, IdColumn, ColumnCount };

    explicit CaseListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void clear();
    void appendRows(std::vector<CaseRow> rows);
    // Replaces the row of the same id; false when the list has none.
    bool updateRow(const CaseRow& row);
    void removeId(std::uint32_t id);
    std::optional<int> rowOfId(std::uint32_t id) const;
    const CaseRow& rowAt(int row) const { return rows_[static_cast<std::size_t>(row)]; }

private:
    std::vector<CaseRow> rows_;
};

// Reads the rows of a list of ids into the model: the first batch at once, the others one
// at a time from the event loop. A failed read stops the feed after telling why.
class CaseListFeed : public QObject {
    Q_OBJECT
public:
    // Each batch is one read of the case book: a few milliseconds at most.
    static constexpr std::size_t kBatchSize = 2000;

    CaseListFeed(const MDataBase& store, CaseListModel& model, QObject* parent = nullptr);

    // Empties the model and starts listing ids, in their order; a feed still running stops.
    void start(std::vector<std::uint32_t> ids);
    void stop();
    bool running() const { return next_ < ids_.size(); }
    // A case the window listed itself is not read again.
    void skip(std::uint32_t id);

signals:
    void failed(const QString& message);
    void finished();

private:
    void feedBatch();

    const MDataBase& store_;
    CaseListModel& model_;
    std::vector<std::uint32_t> ids_;
    std::size_t next_ = 0;
    QTimer timer_;
};

}  // namespace qingheng
