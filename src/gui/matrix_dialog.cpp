#include "gui/matrix_dialog.h"

#include <QBuffer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <utility>

#include "base/channels.h"

namespace kolvane {

namespace {

constexpr int kCellH = 20, kLeft = 116, kTop = 84, kRowH = 20;
const int kTableColumns[] = {10, 130, 230, 460};

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

std::string Failed(const std::string& failure) {
  return failure.empty() ? failure : "Cannot write " + failure;
}

int Rows(const MatrixPicture& p) {
  return static_cast<int>(p.cells.size());
}
int Cols(const MatrixPicture& p) {
  return static_cast<int>(p.column_names.size());
}

}  // namespace

MatrixPictureView::MatrixPictureView(MatrixPicture picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {
  // Columns as wide as the longest colour name, so that no heading is cut.
  const QFontMetrics metrics(font());
  for (const std::string& name : picture_.column_names)
    cell_w_ = std::max(cell_w_, metrics.horizontalAdvance(Q(name)) + 10);
  setObjectName("MatrixPicture");
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setMinimumSize(sizeHint());
}

QSize MatrixPictureView::sizeHint() const {
  const int w = std::max(kLeft + Cols(picture_) * cell_w_ + 20, 640);
  const int table = static_cast<int>(picture_.table.size());
  const int h = kTop + Rows(picture_) * kCellH + 40 + (table + 1) * kRowH + 10;
  return {w, h};
}

void MatrixPictureView::paintEvent(QPaintEvent*) {
  const MatrixPicture& p = picture_;
  QPainter g(this);
  g.setRenderHint(QPainter::Antialiasing, false);
  g.setPen(Qt::black);
  QFont bold = font();
  bold.setBold(true);
  g.setFont(bold);
  g.drawText(10, 18, Q(p.title));
  g.setFont(font());
  g.drawText(10, 36, Q(p.condition + (p.pair.empty() ? "" : "    " + p.pair)));
  // The axis titles: the columns' above their names, the rows' turned up along their names.
  g.setFont(bold);
  g.drawText(QRect(kLeft, kTop - 42, Cols(p) * cell_w_, 18), Qt::AlignCenter, Q(p.column_axis));
  g.save();
  g.translate(4, kTop + Rows(p) * kCellH / 2);
  g.rotate(-90);
  g.drawText(QRect(-100, 0, 200, 18), Qt::AlignCenter, Q(p.row_axis));
  g.restore();
  g.setFont(font());
  for (int c = 0; c < Cols(p); ++c)
    g.drawText(QRect(kLeft + c * cell_w_, kTop - 20, cell_w_, 18), Qt::AlignCenter,
               Q(p.column_names[c]));
  for (int r = 0; r < Rows(p); ++r) {
    const int y = kTop + r * kCellH;
    g.setPen(Qt::black);
    g.drawText(QRect(24, y, kLeft - 30, kCellH), Qt::AlignRight | Qt::AlignVCenter,
               Q(p.row_names[r]));
    for (int c = 0; c < Cols(p); ++c) {
      const PictureCell& cell = p.cells[r][c];
      const QRect box(kLeft + c * cell_w_, y, cell_w_, kCellH);
      g.fillRect(box, QColor(cell.fill.r, cell.fill.g, cell.fill.b));
      g.setPen(cell.light_text ? Qt::white : Qt::black);
      g.drawText(box, Qt::AlignCenter, Q(cell.text));
    }
  }
  const int table_top = kTop + Rows(p) * kCellH + 40;
  g.setPen(Qt::black);
  g.setFont(bold);
  const std::string heads[] = {"Color", "Noise gain", "Spread from blanks (" + p.units + ")",
                               "Detection limit (3 x spread)"};
  for (int k = 0; k < 4; ++k) g.drawText(kTableColumns[k], table_top, Q(heads[k]));
  g.setFont(font());
  for (int c = 0; c < static_cast<int>(p.table.size()); ++c) {
    const PictureRow& row = p.table[c];
    const int y = table_top + (c + 1) * kRowH;
    const std::string cells[] = {row.colour, row.gain, row.spread, row.limit};
    for (int k = 0; k < 4; ++k) g.drawText(kTableColumns[k], y, Q(cells[k]));
  }
}

MatrixDialog::MatrixDialog(MatrixPicture picture, QWidget* parent, const std::string& picture_path)
    : QDialog(parent), picture_path_(QString::fromStdString(picture_path)) {
  setWindowTitle(tr("Spillover Matrix"));
  setModal(true);
  view_ = new MatrixPictureView(std::move(picture), this);
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(view_);
  scroll->setWidgetResizable(false);
  const QSize natural = view_->sizeHint();
  scroll->setMinimumSize(std::min(natural.width() + 24, 900), std::min(natural.height() + 24, 700));

  auto* save = new QPushButton(tr("Save Picture..."), this);
  save->setObjectName("cmdSavePicture");
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName("cmdClose");
  close->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(scroll, 1);
  layout->addLayout(buttons);

  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(save, &QPushButton::clicked, this, [this] {
    QString filter;
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Picture"), picture_path_, "PNG Image (*.png);;SVG Image (*.svg)", &filter);
    if (path.isEmpty()) return;
    std::string target = path.toStdString();
    if (!path.contains('.')) target += filter.startsWith("SVG") ? ".svg" : ".png";
    const std::string error = SavePicture(target);
    if (!error.empty()) QMessageBox::warning(this, windowTitle(), Q(error));
  });
}

std::string MatrixDialog::SavePicture(const std::string& path) const {
  const bool svg = path.size() >= 4 && path.compare(path.size() - 4, 4, ".svg") == 0;
  if (svg) return Failed(SaveWholeFile(path, MatrixPictureSvg(view_->picture())));
  const QPixmap shot = view_->grab();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!shot.save(&buffer, "PNG")) return "Cannot make the picture of the matrix.";
  return Failed(SaveWholeFile(path, std::string_view(bytes.constData(), bytes.size())));
}

}  // namespace kolvane
