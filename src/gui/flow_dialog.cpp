#include "gui/flow_dialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <sstream>

#include "app/run_record.h"
#include "flow/flow_output.h"

namespace kolvane {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// Fills a table from the TAB-separated text the files get, so that the window shows exactly
// what is saved; rows with flags are tinted.
void Fill(QTableWidget* table, const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> cells;
    std::string::size_type start = 0;
    for (;;) {
      const auto tab = line.find('\t', start);
      cells.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(cells);
  }
  table->clear();
  table->setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size() - 1));
  table->setColumnCount(rows.empty() ? 0 : static_cast<int>(rows[0].size()));
  if (rows.empty()) return;
  int flags = -1;
  QStringList heads;
  for (std::size_t c = 0; c < rows[0].size(); ++c) {
    heads << Q(rows[0][c]);
    if (rows[0][c] == "flags") flags = static_cast<int>(c);
  }
  table->setHorizontalHeaderLabels(heads);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const bool flagged = flags >= 0 && !rows[r][static_cast<std::size_t>(flags)].empty();
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      auto* item = new QTableWidgetItem(Q(rows[r][c]));
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      if (flagged) item->setBackground(QColor(255, 236, 200));
      table->setItem(static_cast<int>(r - 1), static_cast<int>(c), item);
    }
  }
  table->resizeColumnsToContents();
}

}  // namespace

FlowDialog::FlowDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Blood Flow"));
  results_ = new QListWidget(this);
  results_->setObjectName("results");
  results_->setMaximumHeight(80);
  auto* add = new QPushButton(tr("Add Results Files..."), this);
  auto* remove = new QPushButton(tr("Remove"), this);
  sheet_ = new QLineEdit(this);
  sheet_->setObjectName("sheet");
  auto* choose = new QPushButton(tr("Choose Sheet..."), this);
  min_spheres_ = new QSpinBox(this);
  min_spheres_->setRange(0, 1000000);
  min_spheres_->setValue(400);
  max_difference_ = new QDoubleSpinBox(this);
  max_difference_->setRange(0, 1000);
  max_difference_->setValue(15);
  units_ = new QComboBox(this);
  units_->addItems({tr("Intensity Levels"), tr("Microspheres/ml")});
  auto* compute = new QPushButton(tr("Compute"), this);
  compute->setObjectName("compute");
  save_ = new QPushButton(tr("Save Tables..."), this);
  save_->setEnabled(false);
  auto* close = new QPushButton(tr("Close"), this);
  messages_ = new QPlainTextEdit(this);
  messages_->setReadOnly(true);
  messages_->setMaximumHeight(90);
  pieces_ = new QTableWidget(this);
  organs_ = new QTableWidget(this);
  auto* tabs = new QTabWidget(this);
  tabs->addTab(pieces_, tr("Pieces"));
  tabs->addTab(organs_, tr("Organs"));

  auto* files = new QHBoxLayout;
  files->addWidget(results_, 1);
  auto* file_buttons = new QVBoxLayout;
  file_buttons->addWidget(add);
  file_buttons->addWidget(remove);
  file_buttons->addStretch();
  files->addLayout(file_buttons);
  auto* sheet_row = new QHBoxLayout;
  sheet_row->addWidget(sheet_, 1);
  sheet_row->addWidget(choose);
  auto* form = new QFormLayout;
  form->addRow(tr("Results files:"), files);
  form->addRow(tr("Sample sheet:"), sheet_row);
  form->addRow(tr("Fewest spheres in a reference:"), min_spheres_);
  form->addRow(tr("Largest difference of two references (%):"), max_difference_);
  form->addRow(tr("Results without a run record are:"), units_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(compute);
  buttons->addStretch();
  buttons->addWidget(save_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(messages_);
  layout->addWidget(tabs, 1);
  layout->addLayout(buttons);
  resize(900, 640);

  connect(add, &QPushButton::clicked, this, [this] { AddResults(); });
  connect(remove, &QPushButton::clicked, this, [this] { delete results_->currentItem(); });
  connect(choose, &QPushButton::clicked, this, [this] { ChooseSheet(); });
  connect(compute, &QPushButton::clicked, this, [this] { Compute(); });
  connect(save_, &QPushButton::clicked, this, [this] { SaveBoth(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void FlowDialog::SetInputs(const std::vector<std::string>& results, const std::string& sheet) {
  results_->clear();
  for (const std::string& r : results) results_->addItem(Q(r));
  sheet_->setText(Q(sheet));
}

flow::FlowOptions FlowDialog::Options() const {
  flow::FlowOptions o;
  o.min_spheres = min_spheres_->value();
  o.max_reference_difference = max_difference_->value();
  if (units_->currentIndex() == 1) o.units = flow::Unit::Microspheres;
  return o;
}

bool FlowDialog::Compute() {
  std::vector<std::string> results;
  for (int i = 0; i < results_->count(); ++i)
    results.push_back(results_->item(i)->text().toStdString());
  const flow::FlowOptions options = Options();
  flow::FlowInputs inputs;
  std::string error = flow::LoadFlowInputs(results, sheet_->text().toStdString(), options, inputs);
  if (error.empty()) error = flow::ComputeFlows(inputs, options, result_);
  computed_ = error.empty();
  if (!computed_) result_ = flow::FlowResult{};
  std::string text = error;
  for (const std::string& n : result_.notes) text += (text.empty() ? "" : "\n") + n;
  for (const std::string& w : result_.withheld) text += (text.empty() ? "" : "\n") + w;
  messages_->setPlainText(Q(text));
  Fill(pieces_, computed_ ? flow::FlowTableText(result_) : "");
  Fill(organs_, computed_ ? flow::OrganTableText(result_) : "");
  save_->setEnabled(computed_);
  return computed_;
}

std::string FlowDialog::Save(const std::string& flows, const std::string& organs) {
  if (!computed_) return "Nothing computed";
  std::vector<std::string> reads;
  std::vector<flow::FlowInputFile> files;
  for (int i = 0; i < results_->count(); ++i) {
    reads.push_back(results_->item(i)->text().toStdString());
    files.push_back({"results", reads.back(), FileSha256(reads.back())});
    reads.push_back(reads.back() + ".json");
  }
  reads.push_back(sheet_->text().toStdString());
  files.push_back({"sheet", reads.back(), FileSha256(reads.back())});
  const flow::FlowOutputs outputs{flows, organs, "", flows.empty() ? "" : flows + ".json"};
  std::string error = flow::RefusedOutputs(outputs, reads);
  if (error.empty()) error = flow::WriteFlowOutputs(outputs, result_, files);
  return error;
}

void FlowDialog::AddResults() {
  const QStringList files = QFileDialog::getOpenFileNames(this, tr("Open Results Files"), QString(),
                                                          tr("Spillover Corrected File (*.scf)"));
  for (const QString& f : files) results_->addItem(f);
}

void FlowDialog::ChooseSheet() {
  const QString file = QFileDialog::getOpenFileName(
      this, tr("Open Sample Sheet"), QString(), tr("Sample Sheet (*.tsv *.csv *.txt);;All (*)"));
  if (!file.isEmpty()) sheet_->setText(file);
}

void FlowDialog::SaveBoth() {
  const QString flows = QFileDialog::getSaveFileName(this, tr("Save Flow per Piece"), "FLOW.tsv",
                                                     tr("Flow Table (*.tsv)"));
  if (flows.isEmpty()) return;
  namespace fs = std::filesystem;
  const fs::path beside = fs::path(flows.toStdString()).parent_path() / "ORGANS.tsv";
  const QString organs = QFileDialog::getSaveFileName(this, tr("Save Flow per Organ"),
                                                      Q(beside.string()), tr("Flow Table (*.tsv)"));
  const std::string error = Save(flows.toStdString(), organs.toStdString());
  messages_->appendPlainText(error.empty() ? tr("Saved.") : Q("Can't write file: " + error));
}

void AddToolsMenu(QMenuBar* bar, QWidget* parent, std::function<std::string()> last_results) {
  QMenu* tools = bar->addMenu(QObject::tr("&Tools"));
  QAction* flow = tools->addAction(QObject::tr("Blood Flow..."));
  flow->setObjectName("blood_flow");
  QObject::connect(flow, &QAction::triggered, parent, [parent, last_results] {
    FlowDialog dialog(parent);
    const std::string results = last_results();
    if (!results.empty() && std::filesystem::exists(results)) dialog.SetInputs({results}, "");
    dialog.exec();
  });
}

}  // namespace kolvane
