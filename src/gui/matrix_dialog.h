// In this file: the "Spillover Matrix..." dialog of the View menu. It paints the matrix
// picture the core made (heat map, condition number, per-colour table) and saves it as PNG
// or SVG.
#pragma once

#include <QDialog>
#include <QWidget>

#include "app/matrix_picture.h"

namespace kolvane {

// The heat map and the table, painted at their natural size.
class MatrixPictureView : public QWidget {
  Q_OBJECT

 public:
  MatrixPictureView(MatrixPicture picture, QWidget* parent);
  QSize sizeHint() const override;
  const MatrixPicture& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MatrixPicture picture_;
  int cell_w_ = 66;
};

class MatrixDialog : public QDialog {
  Q_OBJECT

 public:
  // picture_path: the name Save Picture proposes (ProposedPicturePath of the results file).
  MatrixDialog(MatrixPicture picture, QWidget* parent,
               const std::string& picture_path = "matrix.png");
  MatrixPictureView* view() const { return view_; }
  // Writes the picture to path: SVG for a name ending in .svg, PNG otherwise. Returns an
  // empty text, or what went wrong.
  std::string SavePicture(const std::string& path) const;

 private:
  MatrixPictureView* view_;
  QString picture_path_;
};

}  // namespace kolvane
