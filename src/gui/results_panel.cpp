#include "gui/results_panel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <map>

#include "dispatch/results_commands.h"
#include "gui/elided_label.h"

namespace kolvane {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

// Round steps (1, 2 or 5 times a power of ten) giving about `ticks` marks over [low, high].
double TickStep(double low, double high, int ticks) {
  const double raw = (high - low) / std::max(1, ticks);
  if (!(raw > 0) || !std::isfinite(raw)) return 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double f : {1.0, 2.0, 5.0, 10.0})
    if (raw <= f * power) return f * power;
  return 10.0 * power;
}

}  // namespace

ResultsModel::ResultsModel(const ResultsTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

void ResultsModel::Reload() {
  beginResetModel();
  endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.rows();
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : table_.columns();
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
  const int r = index.row(), c = index.column();
  // The core's table may have changed before the view heard of it.
  if (!index.isValid() || r >= table_.rows() || c >= table_.columns()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Q(table_.text(r, c));
    case Qt::TextAlignmentRole:
      return c == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                    : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (table_.cell(r, c).marked) return QColor(255, 214, 153);
      if (table_.kind(r) == ResultsRowKind::Pure) return QColor(232, 240, 252);
      if (table_.kind(r) != ResultsRowKind::Sample) return QColor(238, 238, 238);
      return {};
    case Qt::ToolTipRole:
      if (table_.text(r, c) == "OL") return tr("A pure was overloaded: no result for this record");
      if (table_.text(r, c) == "***") return tr("Hi-Lo: neighbouring colours differ tenfold");
      return {};
    default:
      return {};
  }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section >= table_.columns()) return {};
  return Q(table_.column(section).heading);
}

ResultsProxy::ResultsProxy(const ResultsTable& table, QObject* parent)
    : QSortFilterProxyModel(parent), table_(table) {}

bool ResultsProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (std::max(left.row(), right.row()) >= table_.rows() || left.column() >= table_.columns())
    return left.row() < right.row();
  return table_.Less(left.row(), right.row(), left.column());
}

bool ResultsProxy::filterAcceptsRow(int row, const QModelIndex&) const {
  return row < table_.rows() && table_.Passes(row, table_.filter);
}

RecordPlot::RecordPlot(const RecordFit& fit, QWidget* parent) : QWidget(parent), fit_(fit) {
  setMinimumSize(320, 220);
}

void RecordPlot::paintEvent(QPaintEvent*) {
  QPainter g(this);
  g.fillRect(rect(), Qt::white);
  g.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics fm(font());
  if (fit_.row < 0 || !fit_.problem.empty() || fit_.nm.empty()) {
    g.setPen(Qt::darkGray);
    g.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap,
               fit_.problem.empty() ? tr("Select a record to see its spectrum and fit.")
                                    : Q(fit_.problem));
    return;
  }
  double x0 = *std::min_element(fit_.nm.begin(), fit_.nm.end());
  double x1 = *std::max_element(fit_.nm.begin(), fit_.nm.end());
  double y0 = 0.0, y1 = 0.0;
  for (const auto* v : {&fit_.reading, &fit_.fitted}) {
    y0 = std::min(y0, *std::min_element(v->begin(), v->end()));
    y1 = std::max(y1, *std::max_element(v->begin(), v->end()));
  }
  if (x1 <= x0) x1 = x0 + 1;
  if (y1 <= y0) y1 = y0 + 1;
  y1 += (y1 - y0) * 0.05;

  const int left = fm.horizontalAdvance("000000.0") + fm.height() + 8;
  const QRect area = rect().adjusted(left, 2 * fm.height() + 6, -12, -2 * fm.height() - 10);
  auto px = [&](double x) { return area.left() + (x - x0) / (x1 - x0) * area.width(); };
  auto py = [&](double y) { return area.bottom() - (y - y0) / (y1 - y0) * area.height(); };

  // Title: the record and its figures.
  g.setPen(Qt::black);
  const QString r2 = fit_.r2_defined ? QString::number(fit_.r2, 'f', 3) : QString("-");
  g.drawText(
      QRect(0, 4, width(), fm.height()), Qt::AlignCenter,
      tr("%1    R\u00B2 = %2    SS = %3").arg(Q(fit_.name), r2, QString::number(fit_.ss, 'f', 2)));

  // Axes with round ticks.
  g.setPen(QPen(Qt::black, 1));
  g.drawRect(area);
  const double xs = TickStep(x0, x1, 6), ys = TickStep(y0, y1, 5);
  for (double x = std::ceil(x0 / xs) * xs; x <= x1 + 1e-9; x += xs) {
    g.drawLine(QPointF(px(x), area.bottom()), QPointF(px(x), area.bottom() + 4));
    g.drawText(QRectF(px(x) - 40, area.bottom() + 5, 80, fm.height()), Qt::AlignHCenter,
               QString::number(x, 'g', 6));
  }
  for (double y = std::ceil(y0 / ys) * ys; y <= y1 + 1e-9; y += ys) {
    g.drawLine(QPointF(area.left() - 4, py(y)), QPointF(area.left(), py(y)));
    g.drawText(QRectF(0, py(y) - fm.height() / 2.0, area.left() - 6, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(y, 'g', 6));
  }
  g.drawText(QRect(area.left(), area.bottom() + fm.height() + 6, area.width(), fm.height()),
             Qt::AlignHCenter, tr("Wavelength (nm)"));
  g.save();
  g.translate(fm.height() / 2.0 + 2, area.center().y());
  g.rotate(-90);
  g.drawText(QRect(-area.height() / 2, -fm.height() / 2, area.height(), fm.height()),
             Qt::AlignCenter, tr("Intensity"));
  g.restore();

  // The spectrum, the fit, the fit points.
  g.setClipRect(area);
  auto line = [&](const std::vector<double>& ys_, const QColor& color, double width) {
    QPainterPath path;
    for (std::size_t i = 0; i < fit_.nm.size(); ++i) {
      const QPointF at(px(fit_.nm[i]), py(ys_[i]));
      i == 0 ? path.moveTo(at) : path.lineTo(at);
    }
    g.strokePath(path, QPen(color, width));
  };
  const QColor spectrum(30, 90, 200), fitted(220, 50, 40);
  line(fit_.reading, spectrum, 1.5);
  line(fit_.fitted, fitted, 1.5);
  g.setPen(QPen(Qt::black, 1.2));
  g.setBrush(Qt::NoBrush);
  for (std::size_t i = 0; i < fit_.point_nm.size(); ++i)
    g.drawEllipse(QPointF(px(fit_.point_nm[i]), py(fit_.point_reading[i])), 3.5, 3.5);
  g.setClipping(false);

  // Legend.
  const int lw = fm.horizontalAdvance(tr("Fit points")) + 40, lh = 3 * fm.height() + 8;
  const QRect legend(area.right() - lw - 6, area.top() + 6, lw, lh);
  g.setPen(Qt::gray);
  g.setBrush(QColor(255, 255, 255, 230));
  g.drawRect(legend);
  const QString names[] = {tr("Spectrum"), tr("Fit"), tr("Fit points")};
  for (int i = 0; i < 3; ++i) {
    const double y = legend.top() + 4 + (i + 0.5) * fm.height();
    if (i < 2) {
      g.setPen(QPen(i == 0 ? spectrum : fitted, 2));
      g.drawLine(QPointF(legend.left() + 6, y), QPointF(legend.left() + 26, y));
    } else {
      g.setPen(QPen(Qt::black, 1.2));
      g.setBrush(Qt::NoBrush);
      g.drawEllipse(QPointF(legend.left() + 16, y), 3.5, 3.5);
    }
    g.setPen(Qt::black);
    g.drawText(QPointF(legend.left() + 32, y + fm.ascent() / 2.0 - 1), names[i]);
  }
}

ResultsPanel::ResultsPanel(Program& p, QWidget* parent) : QWidget(parent), p_(p) {
  setObjectName("ResultsPanel");
  setMinimumSize(640, 480);
  model_ = new ResultsModel(p.results, this);
  proxy_ = new ResultsProxy(p.results, this);
  proxy_->setSourceModel(model_);
  proxy_->setDynamicSortFilter(false);

  title_ = new ElidedLabel(this);
  filter_ = new QComboBox(this);
  filter_->setObjectName("ResultsFilter");
  filter_->addItem(tr("All rows"), static_cast<int>(ResultsFilter::All));
  filter_->addItem(tr("Pures"), static_cast<int>(ResultsFilter::Pures));
  filter_->addItem(tr("Samples"), static_cast<int>(ResultsFilter::Samples));
  filter_->addItem(tr("Flagged (OL, Hi-Lo)"), static_cast<int>(ResultsFilter::Flagged));
  connect(filter_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    ResultsFilter_Click(p_, static_cast<ResultsFilter>(filter_->itemData(i).toInt()));
    Mirror();
  });

  view_ = new QTableView(this);
  view_->setObjectName("ResultsTable");
  view_->setModel(proxy_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(-1, Qt::AscendingOrder);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->setAlternatingRowColors(false);
  view_->setWordWrap(false);
  // Rows of one height let the view scroll 32767 rows without measuring each of them.
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
  view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // Column widths from the first rows only: a whole table's cells are never measured.
  view_->horizontalHeader()->setResizeContentsPrecision(100);
  view_->horizontalHeader()->setDefaultSectionSize(
      view_->fontMetrics().horizontalAdvance("-00000.000") + 16);
  auto* copy = new QAction(tr("Copy"), view_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  view_->addAction(copy);
  connect(copy, &QAction::triggered, this, &ResultsPanel::CopySelection);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { RowSelected(); });

  plot_ = new RecordPlot(p.results.fit, this);
  plot_->setObjectName("RecordPlot");

  auto* bar = new QHBoxLayout;
  bar->addWidget(title_, 1);
  bar->addWidget(new QLabel(tr("Show:"), this));
  bar->addWidget(filter_);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(view_);
  split->addWidget(plot_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(bar);
  layout->addWidget(split, 1);
}

void ResultsPanel::Mirror() {
  const ResultsTable& t = p_.results;
  if (t.generation == shown_generation_) return;
  shown_generation_ = t.generation;
  if (t.loads != shown_loads_) {
    shown_loads_ = t.loads;
    model_->Reload();
    view_->sortByColumn(-1, Qt::AscendingOrder);
    proxy_->sort(-1);
    title_->setText(tr("%1 rows of %2").arg(t.rows()).arg(QString::fromStdString(t.path())));
    title_->setToolTip(QString::fromStdString(t.path()));
    view_->resizeColumnsToContents();
    plot_->setVisible(t.scan());
  }
  if (shown_filter_ != t.filter) {
    shown_filter_ = t.filter;
    filter_->setCurrentIndex(filter_->findData(static_cast<int>(t.filter)));
    proxy_->Refilter();
  }
  plot_->update();
}

void ResultsPanel::RowSelected() {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return;
  ResultsRow_Click(p_, proxy_->mapToSource(current).row());
  Mirror();
}

void ResultsPanel::CopySelection() {
  const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  // Rows and columns in the order the view shows them.
  std::map<int, int> rows, cols;  // view position -> table index
  for (const QModelIndex& i : selected) {
    rows[i.row()] = proxy_->mapToSource(i).row();
    cols[view_->horizontalHeader()->visualIndex(i.column())] = i.column();
  }
  std::vector<int> r, c;
  for (const auto& [at, row] : rows) r.push_back(row);
  for (const auto& [at, col] : cols) c.push_back(col);
  QApplication::clipboard()->setText(QString::fromStdString(p_.results.SelectionText(r, c)));
}

}  // namespace kolvane
