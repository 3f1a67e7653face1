#include "gui/dataset_panel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dispatch/open_dataset.h"
#include "gui/elided_label.h"

namespace kolvane {

namespace {

QString Shown(const std::string& path) {
  return path.empty() ? QObject::tr("(none)") : QString::fromStdString(path);
}

const char* const kWhich[2] = {"blanks", "controls"};

}  // namespace

DatasetPanel::DatasetPanel(Program& p, QWidget* parent) : QWidget(parent), p_(p) {
  setObjectName("DatasetPanel");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setColumnStretch(1, 1);
  auto path = [this] { return new ElidedLabel(this); };
  grid->addWidget(new QLabel(tr("Data file:"), this), 0, 0);
  data_ = path();
  grid->addWidget(data_, 0, 1, 1, 3);
  for (int i = 0; i < 2; ++i) {
    companion_title_[i] = new QLabel(this);
    companion_[i] = path();
    change_[i] = new QPushButton(tr("Change..."), this);
    remove_[i] = new QPushButton(tr("Remove"), this);
    change_[i]->setObjectName(i == 0 ? "ChangeBlanks" : "ChangeControls");
    remove_[i]->setObjectName(i == 0 ? "RemoveBlanks" : "RemoveControls");
    grid->addWidget(companion_title_[i], i + 1, 0);
    grid->addWidget(companion_[i], i + 1, 1);
    grid->addWidget(change_[i], i + 1, 2);
    grid->addWidget(remove_[i], i + 1, 3);
    connect(change_[i], &QPushButton::clicked, this, [this, i] { Change(i); });
    connect(remove_[i], &QPushButton::clicked, this, [this, i] { Remove(i); });
  }
  grid->addWidget(new QLabel(tr("Results file:"), this), 3, 0);
  results_ = new QLineEdit(this);
  results_->setObjectName("ResultsPath");
  grid->addWidget(results_, 3, 1, 1, 3);
  grid->setRowStretch(4, 1);  // spare height below the rows, not between them
  connect(results_, &QLineEdit::editingFinished, this, [this] {
    if (results_->text().toStdString() == p_.Dataset.results) return;
    ChangeResultsPath(p_, results_->text().toStdString());
    if (changed_) changed_();
  });
}

void DatasetPanel::Mirror() {
  const DatasetFiles& d = p_.Dataset;
  data_->setText(Shown(d.data));
  data_->setToolTip(QString::fromStdString(d.data));
  companion_title_[0]->setText(d.scan ? tr("Blanks (.slk):") : tr("Blanks (.blk):"));
  companion_title_[1]->setText(tr("Controls (.ctl):"));
  const std::string* paths[2] = {&d.blanks, &d.controls};
  for (int i = 0; i < 2; ++i) {
    const bool shown = i == 0 || !d.scan;
    companion_title_[i]->setVisible(shown);
    companion_[i]->setVisible(shown);
    change_[i]->setVisible(shown);
    remove_[i]->setVisible(shown);
    companion_[i]->setText(Shown(*paths[i]));
    companion_[i]->setToolTip(QString::fromStdString(*paths[i]));
    remove_[i]->setEnabled(!paths[i]->empty() && !p_.Busy);
    change_[i]->setEnabled(!p_.Busy);
  }
  if (!results_->hasFocus()) results_->setText(QString::fromStdString(d.results));
  results_->setEnabled(!p_.Busy);
}

void DatasetPanel::Change(int i) {
  const QString folder = QFileInfo(QString::fromStdString(p_.Dataset.data)).absolutePath();
  const QString filter = i == 1            ? tr("Control (*.ctl)")
                         : p_.Dataset.scan ? tr("Blanks (*.slk)")
                                           : tr("Blanks (*.blk)");
  const QString chosen = QFileDialog::getOpenFileName(this, tr("Change Companion File"), folder,
                                                      filter + ";;" + tr("All Files (*)"));
  if (chosen.isEmpty()) return;
  ChangeCompanion(p_, kWhich[i], chosen.toStdString());
  if (changed_) changed_();
}

void DatasetPanel::Remove(int i) {
  ChangeCompanion(p_, kWhich[i], std::string());
  if (changed_) changed_();
}

}  // namespace kolvane
