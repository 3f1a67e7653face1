// The main window's parts around a dataset: File > Open Dataset... and dropped files, the recent
// datasets, the dataset's files and the results below the form, the manual, and what the window
// remembers between starts.
#include <QAction>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <map>

#include "dispatch/open_dataset.h"
#include "gui/dataset_panel.h"
#include "gui/main_window.h"
#include "gui/manual_window.h"
#include "gui/results_panel.h"

namespace kolvane {

namespace {

QDockWidget* Dock(QMainWindow* window, const QString& title, const char* name, QWidget* inside,
                  Qt::DockWidgetArea area) {
  auto* dock = new QDockWidget(title, window);
  dock->setObjectName(name);
  dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
  dock->setWidget(inside);
  window->addDockWidget(area, dock);
  dock->setVisible(false);
  return dock;
}

// The one local file of a drag, if it holds exactly one.
QString DraggedFile(const QMimeData* mime) {
  if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
  const QUrl url = mime->urls().first();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void MainWindow::BuildResults() {
  results_ = new ResultsPanel(p_);
  // Beside the form, which keeps its size: the table and the viewer get the window's height.
  results_dock_ = Dock(this, tr("Results"), "ResultsDock", results_, Qt::RightDockWidgetArea);
  dataset_ = new DatasetPanel(p_);
  dataset_->OnChange([this] {
    AfterLoad();
    Mirror();
  });
  dataset_dock_ = Dock(this, tr("Dataset"), "DatasetDock", dataset_, Qt::TopDockWidgetArea);
  // The results run the window's whole height beside the dataset and the form, not below the
  // dataset: on a low screen the two panels' heights would otherwise add up past it.
  setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
}

void MainWindow::ApplyResults() {
  results_->Mirror();
  if (results_dock_->isVisible() == p_.results.empty()) {
    results_dock_->setVisible(!p_.results.empty());
    FitToScreen();
  }
  dataset_->Mirror();
  const bool files = !p_.Dataset.data.empty();
  if (dataset_dock_->isVisible() != files) dataset_dock_->setVisible(files);
  open_dataset_->setEnabled(!p_.Busy);
  recent_menu_->setEnabled(!p_.Busy);
}

void MainWindow::BuildOpenDataset(QMenu* file) {
  open_dataset_ = file->addAction(tr("Open &Dataset..."));
  open_dataset_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(open_dataset_, &QAction::triggered, this, [this] {
    if (BusyGuard()) return;
    OpenDataset_Click(p_);
    AfterLoad();
    if (!p_.Ending) Mirror();
  });
}

void MainWindow::BuildRecentMenu(QMenu* file) {
  recent_menu_ = file->addMenu(tr("&Recent Datasets"));
  recent_menu_->setObjectName("RecentDatasets");
  connect(recent_menu_, &QMenu::aboutToShow, this, [this] { FillRecentMenu(); });
  FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
  recent_menu_->clear();
  int n = 0;
  for (const RecentDataset& d : p_.prefs.recent) {
    const QString text = QStringLiteral("&%1 %2").arg(++n).arg(
        QString::fromStdString(d.data).replace('&', QStringLiteral("&&")));
    QStringList with;
    if (!d.blanks.empty()) with << QString::fromStdString(d.blanks);
    if (!d.controls.empty()) with << QString::fromStdString(d.controls);
    QAction* a = recent_menu_->addAction(text);
    a->setToolTip(with.join('\n'));
    connect(a, &QAction::triggered, this, [this, d] {
      if (BusyGuard()) return;
      DatasetFiles files = ProposeDataset(d.data, false);
      std::string problem;
      const DataKind kind = DataKindOf(d.data, problem);
      if (kind == DataKind::Unknown) {
        p_.host.ShowMessage(problem);
        return Mirror();
      }
      files.scan = kind == DataKind::Scan;
      files.blanks = d.blanks;
      files.controls = files.scan ? std::string() : d.controls;
      OpenDatasetFiles(p_, files);
      AfterLoad();
      if (!p_.Ending) Mirror();
    });
  }
  if (n == 0) recent_menu_->addAction(tr("(none)"))->setEnabled(false);
  recent_menu_->addSeparator();
  QAction* clear = recent_menu_->addAction(tr("&Clear"));
  clear->setEnabled(n > 0);
  // Forgets all the window remembers: the list, the last folder, the options, the geometry.
  connect(clear, &QAction::triggered, this, [this] {
    p_.prefs = Preferences{};
    QSettings settings;
    settings.clear();
    settings.sync();
  });
}

void MainWindow::BuildHelpMenu(QMenu* help) {
  manual_ = help->addAction(tr("KOLVANE &Manual"));
  manual_->setShortcut(QKeySequence(Qt::Key_F1));
  connect(manual_, &QAction::triggered, this, [this] { ShowManual(); });
}

ManualWindow* MainWindow::ShowManual() {
  if (!manual_window_) manual_window_ = new ManualWindow(this);
  manual_window_->show();
  manual_window_->raise();
  manual_window_->activateWindow();
  return manual_window_;
}

// After any load: a dataset opened with the dialogs joins the recent list too, and the options
// panel takes the choices the user left last time.
void MainWindow::AfterLoad() {
  if (!p_.form.CloseIt.enabled) return;
  if (p_.Dataset.data.empty()) {
    NoteRecentDataset(p_.prefs,
                      {p_.ChosenFiles.data, p_.ChosenFiles.blanks, p_.ChosenFiles.controls});
    p_.prefs.last_folder =
        QFileInfo(QString::fromStdString(p_.ChosenFiles.data)).absolutePath().toStdString();
  }
  ApplyKeptOptions(p_);
  SaveSettings();
}

void MainWindow::OpenDataset(const std::string& path) {
  if (BusyGuard()) return;
  OpenDatasetFile(p_, path);
  AfterLoad();
  if (!p_.Ending) Mirror();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!BusyGuard() && !DraggedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = DraggedFile(event->mimeData());
  if (file.isEmpty() || BusyGuard()) return;
  event->acceptProposedAction();
  OpenDataset(file.toStdString());
}

void MainWindow::LoadSettings() {
  QSettings settings;
  std::map<std::string, std::string> values;
  for (const QString& key : settings.allKeys())
    if (key != "window/geometry")
      values[key.toStdString()] = settings.value(key).toString().toStdString();
  p_.prefs = PreferencesFromValues(values);
  const QByteArray geometry = settings.value("window/geometry").toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  FillRecentMenu();
}

void MainWindow::SaveSettings() {
  QSettings settings;
  settings.remove("recent");
  for (const auto& [key, value] : PreferenceValues(p_.prefs))
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
  settings.setValue("window/geometry", saveGeometry());
  settings.sync();
}

}  // namespace kolvane
