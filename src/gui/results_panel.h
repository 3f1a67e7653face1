// In this file: the results of the last complete run as the window shows them: a table over the
// core's ResultsTable (sortable by any column, filtered, Ctrl+C copies the selection as TAB text
// with headings) and, for a scan run, the record viewer: the selected record's spectrum, its fit
// and its fit points. The core holds the rows, the filter and the fitted record; this only paints.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <cstdint>

#include "app/program.h"

class QComboBox;
class QLabel;
class QTableView;

namespace kolvane {

class ResultsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ResultsModel(const ResultsTable& table, QObject* parent = nullptr);
  // The table was loaded afresh or cleared.
  void Reload();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const ResultsTable& table_;
};

class ResultsProxy : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit ResultsProxy(const ResultsTable& table, QObject* parent = nullptr);
  void Refilter() { invalidateFilter(); }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  const ResultsTable& table_;
};

// The record viewer: paints the core's RecordFit.
class RecordPlot : public QWidget {
  Q_OBJECT

 public:
  explicit RecordPlot(const RecordFit& fit, QWidget* parent = nullptr);
  QSize sizeHint() const override { return QSize(420, 300); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const RecordFit& fit_;
};

class ResultsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit ResultsPanel(Program& p, QWidget* parent = nullptr);
  // Mirrors the core's table, filter and fitted record when they changed.
  void Mirror();
  // Copies the selected cells (in the view's order) as TAB text with headings.
  void CopySelection();

  QTableView* view() const { return view_; }
  ResultsProxy* proxy() const { return proxy_; }
  RecordPlot* plot() const { return plot_; }
  QComboBox* filter_box() const { return filter_; }

 private:
  void RowSelected();

  Program& p_;
  ResultsModel* model_ = nullptr;
  ResultsProxy* proxy_ = nullptr;
  QTableView* view_ = nullptr;
  QComboBox* filter_ = nullptr;
  QLabel* title_ = nullptr;
  RecordPlot* plot_ = nullptr;
  std::uint64_t shown_generation_ = 0;
  std::uint64_t shown_loads_ = 0;
  ResultsFilter shown_filter_ = ResultsFilter::All;
};

}  // namespace kolvane
