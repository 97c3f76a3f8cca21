#include "ui/main/Untcaselist.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace qingheng {
namespace {

QString columnText(const CaseRow& row, int column) {
    switch (column) {
        case CaseListModel::NameColumn:
            return QString::fromStdString(row.name);
        case CaseListModel::DateColumn:
            return QString::fromStdString(caseDateText(row));
        case CaseListModel::CategoryColumn:
            return QString::fromStdString(row.category);
        case CaseListModel::QuestionColumn:
            return QString::fromStdString(row.question);
        case CaseListModel::IdColumn:
            return QString::number(row.id);
        default:
            return {};
    }
}

}  // namespace

CaseListModel::CaseListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CaseListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CaseListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CaseListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return columnText(rowAt(index.row()), index.column());
}

QVariant CaseListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString titles[ColumnCount] = {QStringLiteral("求测人"), QStringLiteral("日期"),
                                                QStringLiteral("类别"), QStringLiteral("占问事宜"),
                                                QStringLiteral("ID")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return titles[section];
}

void CaseListModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void CaseListModel::appendRows(std::vector<CaseRow> rows) {
    if (rows.empty()) return;
    const auto first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endInsertRows();
}

bool CaseListModel::updateRow(const CaseRow& row) {
    const std::optional<int> at = rowOfId(row.id);
    if (!at) return false;
    rows_[static_cast<std::size_t>(*at)] = row;
    emit dataChanged(index(*at, 0), index(*at, ColumnCount - 1));
    return true;
}

void CaseListModel::removeId(std::uint32_t id) {
    const std::optional<int> at = rowOfId(id);
    if (!at) return;
    beginRemoveRows({}, *at, *at);
    rows_.erase(rows_.begin() + *at);
    endRemoveRows();
}

std::optional<int> CaseListModel::rowOfId(std::uint32_t id) const {
    const auto found = std::find_if(rows_.begin(), rows_.end(), [id](const CaseRow& r) { return r.id == id; });
    if (found == rows_.end()) return std::nullopt;
    return static_cast<int>(std::distance(rows_.begin(), found));
}

// ---------------------------------------------------------------- the feed

CaseListFeed::CaseListFeed(const MDataBase& store, CaseListModel& model, QObject* parent)
    : QObject(parent), store_(store), model_(model) {
    timer_.setInterval(0);  // the next batch as soon as the window has handled its events
    connect(&timer_, &QTimer::timeout, this, &CaseListFeed::feedBatch);
}

void CaseListFeed::start(std::vector<std::uint32_t> ids) {
    stop();
    model_.clear();
    ids_ = std::move(ids);
    feedBatch();  // small lists are whole at once
    if (running()) timer_.start();
}

void CaseListFeed::stop() {
    timer_.stop();
    ids_.clear();
    next_ = 0;
}

void CaseListFeed::skip(std::uint32_t id) {
    if (!running()) return;
    const auto rest = ids_.begin() + static_cast<std::ptrdiff_t>(next_);
    ids_.erase(std::remove(rest, ids_.end(), id), ids_.end());
}

void CaseListFeed::feedBatch() {
    if (!running()) return;
    const std::size_t count = std::min(kBatchSize, ids_.size() - next_);
    std::vector<CaseRow> rows;
    const Status read = store_.readCaseRows(std::span(ids_).subspan(next_, count), rows);
    next_ += count;
    model_.appendRows(std::move(rows));
    if (!read) {
        stop();
        emit failed(QString::fromStdString(read.message));
    }
    if (running()) return;
    timer_.stop();
    emit finished();
}

}  // namespace qingheng
