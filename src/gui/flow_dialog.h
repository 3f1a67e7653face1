// In this file: the "Blood Flow..." dialog of the Tools menu. The user chooses results files
// and a sample sheet; the dialog computes the flows with the core's blood-flow code (the same as
// kolvane-batch flow), shows the per-piece and per-organ tables with their flags and the
// messages of the checks, and saves both tables.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "flow/flow.h"

class QLabel;
class QListWidget;
class QMenuBar;
class QPlainTextEdit;
class QTableWidget;
class QLineEdit;
class QSpinBox;
class QDoubleSpinBox;
class QComboBox;
class QPushButton;

namespace kolvane {

class FlowDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FlowDialog(QWidget* parent);
  // The results files and the sheet, as the choosers set them.
  void SetInputs(const std::vector<std::string>& results, const std::string& sheet);
  // Reads the inputs and computes; the tables show the result, the message box what the checks
  // said. False when the inputs were refused (the tables are then empty).
  bool Compute();
  // Writes the tables (either path may be empty). Empty, or what went wrong.
  std::string Save(const std::string& flows, const std::string& organs);

  QTableWidget* pieces() const { return pieces_; }
  QTableWidget* organs() const { return organs_; }
  QPlainTextEdit* messages() const { return messages_; }

 private:
  void AddResults();
  void ChooseSheet();
  void SaveBoth();
  flow::FlowOptions Options() const;

  QListWidget* results_;
  QLineEdit* sheet_;
  QSpinBox* min_spheres_;
  QDoubleSpinBox* max_difference_;
  QComboBox* units_;
  QPlainTextEdit* messages_;
  QTableWidget* pieces_;
  QTableWidget* organs_;
  QPushButton* save_;
  flow::FlowResult result_;
  bool computed_ = false;
};

// Adds the Tools menu with "Blood Flow..." to `bar`; `last_results` gives the results file of the
// window's last run (or empty), offered in the dialog.
void AddToolsMenu(QMenuBar* bar, QWidget* parent, std::function<std::string()> last_results);

}  // namespace kolvane
