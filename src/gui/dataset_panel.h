// In this file: the files of a dataset opened in one step, as the window shows them before
// Analyze: the data file, each companion with Change... and Remove, and the results path, which
// may be edited. A view of Program::Dataset; its buttons call the one-step open's commands.
#pragma once

#include <QWidget>
#include <functional>

#include "app/program.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kolvane {

class DatasetPanel : public QWidget {
  Q_OBJECT

 public:
  explicit DatasetPanel(Program& p, QWidget* parent = nullptr);
  // Shows Program::Dataset; `changed` is called after a command changed it.
  void Mirror();
  void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

  QLabel* data_label() const { return data_; }
  QLabel* companion_label(int i) const { return companion_[i]; }
  QPushButton* change_button(int i) const { return change_[i]; }
  QPushButton* remove_button(int i) const { return remove_[i]; }
  QLineEdit* results_edit() const { return results_; }

 private:
  void Change(int i);
  void Remove(int i);

  Program& p_;
  std::function<void()> changed_;
  QLabel* data_ = nullptr;
  QLabel* companion_title_[2] = {};
  QLabel* companion_[2] = {};  // 0 blanks, 1 controls
  QPushButton* change_[2] = {};
  QPushButton* remove_[2] = {};
  QLineEdit* results_ = nullptr;
};

}  // namespace kolvane
