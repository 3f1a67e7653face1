// In this file: the two tissue dialogs of a fixed-wavelength run as Qt dialogs. Each shows its
// form model and passes every choice to the form's handlers; closing with the window's close
// box (or Escape) calls no handler, so the flags stay as the opening or the last option left
// them.
#pragma once

#include <QDialog>

#include "app/tissue_choices.h"

class QRadioButton;

namespace kolvane {

class TissueDialog : public QDialog {
  Q_OBJECT

 public:
  TissueDialog(TissueForm& form, QWidget* parent);

  QRadioButton* option(int index) const { return options_[index]; }
  // Escape and the window's close button mean "Cancel Analysis".
  void reject() override;

 private:
  TissueForm& form_;
  QRadioButton* options_[2] = {nullptr, nullptr};
};

class TissueOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  TissueOptionsDialog(TissueOptionsForm& form, QWidget* parent);
  // Escape and the window's close button mean "Abort Run".
  void reject() override;

 private:
  TissueOptionsForm& form_;
};

}  // namespace kolvane
