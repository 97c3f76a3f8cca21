#include "ui/main/Untcaselist.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <span>
#include <tuple>

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

// Texts compare by character (UTF-8 bytes keep the order of the characters), dates by day.
int compareColumn(const CaseRow& a, const CaseRow& b, int column) {
    auto order = [](const auto& x, const auto& y) { return x < y ? -1 : y < x ? 1 : 0; };
    switch (column) {
        case CaseListModel::NameColumn:
            return a.name.compare(b.name);
        case CaseListModel::DateColumn:
            return order(std::tie(a.year, a.month, a.day, a.lunar, a.leap),
                         std::tie(b.year, b.month, b.day, b.lunar, b.leap));
        case CaseListModel::CategoryColumn:
            return a.category.compare(b.category);
        case CaseListModel::QuestionColumn:
            return a.question.compare(b.question);
        case CaseListModel::IdColumn:
            return order(a.id, b.id);
        default:
            return 0;
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

bool CaseListModel::before(const Entry& a, const Entry& b) const {
    const int c = compareColumn(a.row, b.row, sortColumn_);
    if (c != 0) return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    return a.arrival < b.arrival;  // equal rows keep their arrival order either way
}

void CaseListModel::reorder(const std::function<void()>& rearrange) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList kept = persistentIndexList();
    std::vector<std::uint32_t> keptIds;
    keptIds.reserve(static_cast<std::size_t>(kept.size()));
    for (const QModelIndex& index : kept) keptIds.push_back(rowAt(index.row()).id);
    rearrange();
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const std::optional<int> row = rowOfId(keptIds[static_cast<std::size_t>(i)]);
        changePersistentIndex(kept[i], row ? index(*row, kept[i].column()) : QModelIndex());
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CaseListModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column >= 0 && column < ColumnCount ? column : -1;
    sortOrder_ = order;
    reorder([this] {
        auto less = [this](const Entry& a, const Entry& b) {
            return sortColumn_ < 0 ? a.arrival < b.arrival : before(a, b);
        };
        std::stable_sort(rows_.begin(), rows_.end(), less);
    });
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
    rows_.reserve(rows_.size() + rows.size());
    for (CaseRow& row : rows) rows_.push_back(Entry{std::move(row), nextArrival_++});
    endInsertRows();
    if (sortColumn_ < 0) return;
    // The new rows, sorted among themselves, merge into the sorted ones.
    reorder([this, first] {
        const auto middle = rows_.begin() + first;
        auto less = [this](const Entry& a, const Entry& b) { return before(a, b); };
        std::sort(middle, rows_.end(), less);
        std::inplace_merge(rows_.begin(), middle, rows_.end(), less);
    });
}

bool CaseListModel::updateRow(const CaseRow& row) {
    const std::optional<int> at = rowOfId(row.id);
    if (!at) return false;
    rows_[static_cast<std::size_t>(*at)].row = row;
    emit dataChanged(index(*at, 0), index(*at, ColumnCount - 1));
    if (sortColumn_ >= 0) sort(sortColumn_, sortOrder_);
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
    const auto found = std::find_if(rows_.begin(), rows_.end(), [id](const Entry& e) { return e.row.id == id; });
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
