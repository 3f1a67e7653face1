// In this file: the main window, a view of the form model. Mirror() copies the form into the
// widgets; user events set the form as the user left it and call the named handlers, after
// which the window mirrors the form again. Nothing here decides anything about a dataset.
#pragma once

#include <QMainWindow>
#include <QSize>
#include <map>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/program.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace kolvane {

class ProgressMeter;
class ResultsPanel;
class ManualWindow;
class DatasetPanel;
class SpectrumCanvas;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Program& program, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Copies the form into the widgets, touching only what changed.
  void Mirror();
  // Moves the window to the place start-up chose (the form's left and top).
  void PlaceAsForm();
  // Opens a data file named on the command line, by its kind, as File > Open would.
  void OpenGivenFile(const std::string& path);

  // The scroll area's size for a form of `form` pixels in `room` pixels of screen, with
  // scroll bars `bar` pixels wide.
  static QSize FitFormToRoom(const QSize& form, const QSize& room, int bar);

  // Keeps the window, with its frame, within `area` (the screen's available area): the form
  // scrolls where it does not fit, and a window beyond the area's edges moves into it.
  void FitInto(const QRect& area);
  void FitToScreen();

  // Pixels per twip on this screen: logicalDpiX / 1440.
  double logical_dpi() const;

  // The widgets, for the tests and the screenshot tool.
  QCheckBox* color(int i) const { return color_[i]; }
  QLineEdit* micros_per_ml_fix(int i) const { return micros_per_ml_fix_[i]; }
  QLabel* micros_for_color(int i) const { return micros_for_color_[i]; }
  QLineEdit* micros_per_ml(int i) const { return micros_per_ml_[i]; }
  QRadioButton* results_radio(int i) const { return results_radio_[i]; }
  QCheckBox* back_sub() const { return back_sub_; }
  QCheckBox* control_corr() const { return control_corr_; }
  QLineEdit* solvent_text() const { return solvent_text_; }
  QPushButton* run_analysis() const { return run_analysis_; }
  QProgressBar* perc_panel() const;
  QLabel* directions() const { return directions_; }
  QLabel* sample_ptr() const { return sample_ptr_; }
  SpectrumCanvas* spectra() const { return spectra_; }
  QWidget* client() const { return client_; }
  QScrollArea* scroll_area() const { return scroll_; }
  QLabel* status_text() const { return status_text_; }
  QLabel* show_in_folder() const { return show_in_folder_; }
  // A panel or label by the form's name ("ColorBoxes", "FileStats", "XMin", ...).
  QWidget* widget_named(const std::string& name) const;
  QAction* action_open_data() const { return open_data_; }
  QAction* action_open_data_ss() const { return open_data_ss_; }
  QAction* action_close_it() const { return close_it_; }
  QAction* action_spillover() const { return spillover_; }
  QAction* action_exit() const { return exit_; }
  QAction* action_about() const { return about_; }
  QAction* action_matrix_view() const { return matrix_view_; }
  ResultsPanel* results_panel() const { return results_; }
  QAction* action_manual() const { return manual_; }
  QAction* action_open_dataset() const { return open_dataset_; }
  QMenu* recent_menu() const { return recent_menu_; }
  DatasetPanel* dataset_panel() const { return dataset_; }
  QWidget* dataset_dock() const { return dataset_dock_; }
  // Help > KOLVANE Manual: the manual's window, made at its first showing.
  ManualWindow* ShowManual();
  // A data file chosen outside the menu (dropped, or named on the command line): opened in one
  // step.
  void OpenDataset(const std::string& path);
  // What the window remembers, in the platform's settings (QSettings): read at start-up (the
  // window's geometry too), written when the window closes and after every change of the list.
  void LoadSettings();
  void SaveSettings();
  QWidget* results_dock() const { return results_dock_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  enum class Kind { Panel, Container, Label, Check, Radio, Edit, Button };
  // One control of the form and the widget that shows it, with what was shown last.
  struct Binding {
    const Control* model;
    QWidget* widget;
    Kind kind;
    Control shown;
    bool applied = false;
  };

  void BuildMenus();
  void BuildControls();
  QWidget* Bind(const Control& model, QWidget* widget, Kind kind, const std::string& name,
                int index = -1);
  void Apply(Binding& b);
  void ApplyMenus();
  void ApplyFocus();
  void ApplyProgress();
  void ApplySpectra();
  void ApplyWindow();
  // The window's frame around its client area (title bar and borders).
  QSize FrameExtents() const;
  void ApplyStatus();
  void BuildStatusLine();

  // Runs a handler for a user event and mirrors the result (unless the program is ending).
  template <typename F>
  void Handle(F&& handler);
  // Menu commands that load, close or read a file are refused while a load or run is in
  // progress; the menu is disabled then, but a queued shortcut may still arrive.
  bool BusyGuard() const;

  Program& p_;
  MainForm& form_;
  QWidget* client_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QLabel* status_text_ = nullptr;
  QLabel* show_in_folder_ = nullptr;
  std::string shown_status_ = "\x01";
  std::string shown_folder_ = "\x01";
  std::vector<Binding> bindings_;
  std::map<std::string, QWidget*> by_name_;

  QAction* open_data_ = nullptr;
  QAction* open_data_ss_ = nullptr;
  QAction* close_it_ = nullptr;
  QAction* spillover_ = nullptr;
  QAction* exit_ = nullptr;
  QAction* about_ = nullptr;
  QAction* matrix_view_ = nullptr;
  // The last complete run's table and record viewer, docked below the form.
  ResultsPanel* results_ = nullptr;
  QWidget* results_dock_ = nullptr;
  void BuildResults();
  void ApplyResults();
  // The one-step open, the recent datasets, the dataset's files and the manual
  // (main_window_dataset.cpp).
  void BuildOpenDataset(QMenu* file);
  void BuildRecentMenu(QMenu* file);
  void BuildHelpMenu(QMenu* help);
  void FillRecentMenu();
  void AfterLoad();
  QAction* open_dataset_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QAction* manual_ = nullptr;
  ManualWindow* manual_window_ = nullptr;
  DatasetPanel* dataset_ = nullptr;
  QWidget* dataset_dock_ = nullptr;
  void WriteRunRecord();
  // A run started from Analyze is in progress; the window was closed during it and the user
  // chose to abort: the program ends when the run has.
  bool running_ = false;
  bool close_after_run_ = false;

  QCheckBox* color_[31] = {};
  QLineEdit* micros_per_ml_fix_[31] = {};
  QLabel* micros_for_color_[31] = {};
  QLineEdit* micros_per_ml_[31] = {};
  QRadioButton* results_radio_[2] = {};
  QButtonGroup* results_group_ = nullptr;
  QCheckBox* back_sub_ = nullptr;
  QCheckBox* control_corr_ = nullptr;
  QLineEdit* solvent_text_ = nullptr;
  QPushButton* run_analysis_ = nullptr;
  ProgressMeter* perc_panel_ = nullptr;
  QLabel* directions_ = nullptr;
  QLabel* sample_ptr_ = nullptr;
  SpectrumCanvas* spectra_ = nullptr;
  QWidget* color_boxes_ = nullptr;
  QWidget* micro_box_ = nullptr;

  // What Mirror applied last, for the parts of the form that are not Controls.
  ProgressBarControl shown_progress_;
  bool progress_applied_ = false;
  Twips shown_spectra_geometry_;
  bool spectra_applied_ = false;
  Twips shown_window_geometry_{-1, -1, -1, -1};
  std::string shown_caption_;
  bool busy_applied_ = false;
  bool shown_busy_ = false;
  bool mirroring_ = false;
  bool fit_pending_ = false;
};

}  // namespace kolvane
