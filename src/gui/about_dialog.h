// In this file: the about box, showing the form model that AboutForm_Load filled.
#pragma once

#include <QDialog>

#include "app/about_box.h"

namespace kolvane {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(const AboutForm& form, QWidget* parent);
};

}  // namespace kolvane
