#include "gui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "app/color_panel.h"
#include "app/main_form_ops.h"
#include "app/matrix_file.h"
#include "app/matrix_picture.h"
#include "app/run_control.h"
#include "app/run_record.h"
#include "base/channels.h"
#include "dispatch/analyze_again.h"
#include "dispatch/commands.h"
#include "dispatch/open_dataset.h"
#include "gui/flow_dialog.h"
#include "gui/icon.h"
#include "gui/matrix_dialog.h"
#include "gui/plot_canvas.h"
#include "gui/progress_meter.h"
#include "gui/results_panel.h"
#include "gui/twips.h"

namespace kolvane {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// Captions of check boxes, option buttons and buttons treat "&" as a mnemonic marker; colour
// names come from data files and must show as they are written.
QString PlainCaption(const std::string& s) {
  return Q(s).replace('&', "&&");
}

// The option panel's controls take Alt mnemonics; the letter is marked where the caption
// first holds it.
QString WithMnemonic(const std::string& caption, QChar key) {
  QString text = PlainCaption(caption);
  const int at = text.indexOf(key);
  if (at >= 0) text.insert(at, '&');
  return text;
}

// Lines of a label are separated by a CR alone (or CR LF); Qt breaks lines at LF.
QString LabelText(const std::string& s) {
  QString t = Q(s);
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  return t;
}

// A menu caption with the mnemonic before the first occurrence of `key`.
QString MenuCaption(const std::string& caption, const char* fallback, QChar key) {
  QString text = caption.empty() ? QString(fallback) : Q(caption);
  if (text.contains('&')) return text;
  const int at = text.indexOf(key);
  if (at >= 0) text.insert(at, '&');
  return text;
}

bool operator!=(const Twips& a, const Twips& b) {
  return a.left != b.left || a.top != b.top || a.width != b.width || a.height != b.height;
}

QColor ToQColor(Rgb c) {
  return QColor(c.r, c.g, c.b);
}

int VbShiftState(Qt::KeyboardModifiers m) {
  return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
         (m & Qt::AltModifier ? 4 : 0);
}

// The form's size when start-up has not laid it out yet.
constexpr Twips kDefaultWindow{0, 0, 11400, 7600};

// The form's label boxes were sized for a narrow 8-point font. A label whose text is wider
// than its box in the desktop's font shrinks its font (down to kMinLabelPoints) rather than
// losing letters at both ends.
constexpr double kMinLabelPoints = 6.5;

class FittingLabel : public QLabel {
 public:
  using QLabel::QLabel;
  void SetFittedText(const QString& text) {
    setText(text);
    Fit();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Fit();
  }

 private:
  void Fit() {
    if (wordWrap() || !parentWidget()) return;
    QFont wanted = parentWidget()->font();
    const QFontMetricsF metrics(wanted);
    double widest = 0;
    for (const QString& line : text().split('\n')) {
      widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const double room = contentsRect().width();
    if (widest > room && room > 0 && wanted.pointSizeF() > 0) {
      wanted.setPointSizeF(std::max(kMinLabelPoints, wanted.pointSizeF() * room / widest));
    }
    if (font() != wanted) setFont(wanted);
  }
};

}  // namespace

MainWindow::MainWindow(Program& program, QWidget* parent)
    : QMainWindow(parent), p_(program), form_(program.form) {
  setWindowIcon(KolvaneIcon());
  // The form sits in a scroll area, which is as large as the form when the screen has room
  // for it and as large as the screen allows when it has not.
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("scroll");
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  client_ = new QWidget;
  client_->setObjectName("client");
  scroll_->setWidget(client_);
  setCentralWidget(scroll_);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  BuildMenus();
  BuildControls();
  BuildStatusLine();
  BuildResults();
  setAcceptDrops(true);
  qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
  if (qApp) qApp->removeEventFilter(this);
}

double MainWindow::logical_dpi() const {
  return logicalDpiX();
}

QProgressBar* MainWindow::perc_panel() const {
  return perc_panel_;
}

template <typename F>
void MainWindow::Handle(F&& handler) {
  if (p_.Ending) return;
  handler();
  if (!p_.Ending) Mirror();
}

bool MainWindow::BusyGuard() const {
  return p_.Busy || p_.Ending;
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  BuildOpenDataset(file);
  open_data_ = file->addAction(QString());
  open_data_->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O));
  open_data_ss_ = file->addAction(QString());
  open_data_ss_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  BuildRecentMenu(file);
  close_it_ = file->addAction(QString());
  close_it_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  spillover_ = file->addAction(QString());
  spillover_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  file->addSeparator();
  exit_ = file->addAction(QString());
  exit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  exit_->setMenuRole(QAction::QuitRole);
  QMenu* view = menuBar()->addMenu(tr("&View"));
  matrix_view_ = view->addAction(tr("Spillover Matrix..."));
  AddToolsMenu(menuBar(), this, [this] { return BusyGuard() ? "" : p_.ChosenFiles.results; });
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  BuildHelpMenu(help);
  about_ = help->addAction(QString());
  about_->setMenuRole(QAction::AboutRole);

  connect(open_data_, &QAction::triggered, this, [this] {
    if (!BusyGuard()) Handle([this] { OpenData_Click(p_), AfterLoad(); });
  });
  connect(open_data_ss_, &QAction::triggered, this, [this] {
    if (!BusyGuard()) Handle([this] { OpenDataSS_Click(p_), AfterLoad(); });
  });
  connect(close_it_, &QAction::triggered, this, [this] {
    if (!BusyGuard()) Handle([this] { CloseIt_Click(p_); });
  });
  connect(spillover_, &QAction::triggered, this, [this] {
    if (!BusyGuard()) Handle([this] { Spillover_Click(p_); });
  });
  connect(matrix_view_, &QAction::triggered, this, [this] {
    if (BusyGuard() || !p_.figures.ready) return;
    MatrixDialog dialog(MakeMatrixPicture(p_.figures), this,
                        ProposedPicturePath(p_.ledger.results));
    dialog.exec();
  });
  connect(exit_, &QAction::triggered, this, [this] { Handle([this] { Exit_Click(p_); }); });
  connect(about_, &QAction::triggered, this, [this] { Handle([this] { AbtKOLVANE_Click(p_); }); });
  ApplyMenus();
}

QWidget* MainWindow::Bind(const Control& model, QWidget* widget, Kind kind, const std::string& name,
                          int index) {
  const std::string key = index >= 0 ? name + "(" + std::to_string(index) + ")" : name;
  widget->setObjectName(Q(key));
  by_name_[key] = widget;
  if (auto* label = qobject_cast<QLabel*>(widget)) label->setTextFormat(Qt::PlainText);
  Binding b;
  b.model = &model;
  b.widget = widget;
  b.kind = kind;
  bindings_.push_back(std::move(b));
  return widget;
}

void MainWindow::BuildControls() {
  auto panel = [this](const Control& c, QWidget* parent, const char* name) {
    auto* box = new QGroupBox(parent);
    Bind(c, box, Kind::Panel, name);
    return box;
  };
  auto label = [this](const Control& c, QWidget* parent, const std::string& name, int index = -1) {
    auto* l = new FittingLabel(parent);
    Bind(c, l, Kind::Label, name, index);
    return l;
  };

  // Fixed-wavelength colour panel.
  auto* color_boxes = panel(form_.ColorBoxes, client_, "ColorBoxes");
  color_boxes_ = color_boxes;
  label(form_.ColorsHeading1, color_boxes, "ColorsHeading1");
  label(form_.ColorsHeading2, color_boxes, "ColorsHeading2");
  label(form_.MicrosHeading2, color_boxes, "MicrosHeading2");
  label(form_.MicroLabel, color_boxes, "MicroLabel");
  for (int i = 1; i <= kMaxColors; ++i) {
    color_[i] = new QCheckBox(color_boxes);
    Bind(form_.Color[i], color_[i], Kind::Check, "Color", i);
    connect(color_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
      Handle([this, i, checked] {
        form_.Color[i].ticked = checked;
        Color_Click(p_, i);
      });
    });
    micros_per_ml_fix_[i] = new QLineEdit(color_boxes);
    Bind(form_.MicrosPerMlFix[i], micros_per_ml_fix_[i], Kind::Edit, "MicrosPerMlFix", i);
    connect(micros_per_ml_fix_[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      Handle([this, i, &text] {
        form_.MicrosPerMlFix[i].text = text.toStdString();
        MicrosPerMlFix_Change(p_, i);
      });
    });
  }

  // Scan microspheres/ml panel.
  auto* micro_box = panel(form_.MicroBox, client_, "MicroBox");
  micro_box_ = micro_box;
  label(form_.ColorTitle, micro_box, "ColorTitle");
  label(form_.MicroTitle, micro_box, "MicroTitle");
  for (int i = 1; i <= kMaxColors; ++i) {
    micros_for_color_[i] = label(form_.MicrosForColor[i], micro_box, "MicrosForColor", i);
    micros_per_ml_[i] = new QLineEdit(micro_box);
    Bind(form_.MicrosPerMl[i], micros_per_ml_[i], Kind::Edit, "MicrosPerMl", i);
    connect(micros_per_ml_[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
      Handle([this, i, &text] {
        form_.MicrosPerMl[i].text = text.toStdString();
        MicrosPerMl_Change(p_, i);
      });
    });
  }

  // Dataset statistics.
  auto* stats = panel(form_.FileStats, client_, "FileStats");
  label(form_.FileStatsHeading, stats, "FileStatsHeading");
  label(form_.PureStatLabel, stats, "PureStatLabel");
  label(form_.BlanksLabel, stats, "BlanksLabel");
  label(form_.SamplesLabel, stats, "SamplesLabel");
  label(form_.ControlsLabel, stats, "ControlsLabel");
  label(form_.PureStat, stats, "PureStat");
  label(form_.BlanksNum, stats, "BlanksNum");
  label(form_.Samples, stats, "Samples");
  label(form_.ControlsNum, stats, "ControlsNum");

  // Options and spectra.
  // The options box and the spectrum display each draw their own edge; around them a second
  // frame would stand empty while a fixed-wavelength run hides the options.
  auto* synch_frame = new QWidget(client_);
  Bind(form_.SynchFrame, synch_frame, Kind::Container, "SynchFrame");
  auto* options = panel(form_.SynchDataBox, synch_frame, "SynchDataBox");
  label(form_.ReportResultsHeading, options, "ReportResultsHeading");
  results_group_ = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    results_radio_[i] = new QRadioButton(options);
    Bind(form_.OFResults_Radio[i], results_radio_[i], Kind::Radio, "OFResults_Radio", i);
    results_group_->addButton(results_radio_[i], i);
    connect(results_radio_[i], &QRadioButton::clicked, this, [this, i] {
      Handle([this, i] {
        form_.OFResults_Radio[0].selected = i == 0;
        form_.OFResults_Radio[1].selected = i == 1;
        OFResults_Radio_Click(p_, i);
      });
    });
  }
  back_sub_ = new QCheckBox(options);
  Bind(form_.BackSub, back_sub_, Kind::Check, "BackSub");
  connect(back_sub_, &QCheckBox::clicked, this, [this](bool checked) {
    Handle([this, checked] {
      form_.BackSub.ticked = checked;
      BackSub_Click(p_);
    });
  });
  control_corr_ = new QCheckBox(options);
  Bind(form_.ControlCorr, control_corr_, Kind::Check, "ControlCorr");
  connect(control_corr_, &QCheckBox::clicked, this, [this](bool checked) {
    Handle([this, checked] {
      form_.ControlCorr.ticked = checked;
      ControlCorr_Click(p_);
    });
  });
  label(form_.SolventTextLabel, options, "SolventTextLabel");
  solvent_text_ = new QLineEdit(options);
  // It shows the amount of solvent of the file's header; nothing reads what is typed there.
  solvent_text_->setReadOnly(true);
  Bind(form_.Solvent_Text, solvent_text_, Kind::Edit, "Solvent_Text");
  run_analysis_ = new QPushButton(options);
  // Enter presses it while the option panel is shown (see eventFilter).
  run_analysis_->setDefault(true);
  Bind(form_.RunAnalysis, run_analysis_, Kind::Button, "RunAnalysis");
  connect(run_analysis_, &QPushButton::clicked, this, [this] {
    if (!BusyGuard())
      Handle([this] {
        running_ = true;
        KeepOptions(p_);
        AnalyzeAgain_Click(p_);
        running_ = false;
        WriteRunRecord();
        SaveSettings();
        if (close_after_run_) Exit_Click(p_);
      });
  });

  spectra_ = new SpectrumCanvas(form_.Spectra, synch_frame);
  spectra_->setObjectName("Spectra");
  by_name_["Spectra"] = spectra_;
  label(form_.XMin, synch_frame, "XMin");
  label(form_.XMax, synch_frame, "XMax");
  label(form_.YMin, synch_frame, "YMin");
  label(form_.YMax, synch_frame, "YMax");

  // Progress.
  auto* progress = panel(form_.ProgressBar, client_, "ProgressBar");
  label(form_.ProgressHeading, progress, "ProgressHeading");
  perc_panel_ = new ProgressMeter(progress);
  perc_panel_->setObjectName("Perc_Panel");
  by_name_["Perc_Panel"] = perc_panel_;
  sample_ptr_ = label(form_.SamplePtr, progress, "SamplePtr");

  directions_ = label(form_.Directions, client_, "Directions");
  directions_->setWordWrap(true);
}

void MainWindow::BuildStatusLine() {
  status_text_ = new QLabel(statusBar());
  status_text_->setObjectName("StatusLine");
  status_text_->setTextFormat(Qt::PlainText);
  status_text_->setWordWrap(true);
  show_in_folder_ = new QLabel(statusBar());
  show_in_folder_->setObjectName("ShowInFolder");
  show_in_folder_->setTextFormat(Qt::RichText);
  show_in_folder_->setText(QStringLiteral("<a href=\"folder\">%1</a>").arg(tr("Show in Folder")));
  show_in_folder_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
  show_in_folder_->setVisible(false);
  connect(show_in_folder_, &QLabel::linkActivated, this,
          [this] { Handle([this] { ShowInFolder_Click(p_); }); });
  statusBar()->addWidget(status_text_, 1);
  statusBar()->addPermanentWidget(show_in_folder_);
  statusBar()->setSizeGripEnabled(false);
  // A little room between the texts and the window's edges.
  status_text_->setContentsMargins(6, 2, 6, 2);
  show_in_folder_->setContentsMargins(6, 2, 8, 2);
}

void MainWindow::ApplyStatus() {
  if (shown_status_ != form_.StatusLine.caption) {
    status_text_->setText(Q(form_.StatusLine.caption));
    shown_status_ = form_.StatusLine.caption;
    // A status line of more lines takes room from the form, never from the screen.
    FitToScreen();
  }
  if (shown_folder_ != form_.StatusFolder) {
    show_in_folder_->setVisible(!form_.StatusFolder.empty());
    show_in_folder_->setToolTip(Q(form_.StatusFolder));
    shown_folder_ = form_.StatusFolder;
  }
}

QWidget* MainWindow::widget_named(const std::string& name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : it->second;
}

void MainWindow::Apply(Binding& b) {
  const Control& m = *b.model;
  Control& s = b.shown;
  QWidget* w = b.widget;
  const bool first = !b.applied;
  const double dpi = logical_dpi();

  if (first || m.geometry != s.geometry) {
    w->setGeometry(TwipsToPixels(m.geometry, dpi));
    s.geometry = m.geometry;
  }
  // The colour choice and the entries are taken when a run starts; while a load or run is in
  // progress they are shown but cannot be changed.
  const bool input_panel = w == color_boxes_ || w == micro_box_;
  const bool enabled = m.enabled && !(input_panel && p_.Busy);
  if (first || enabled != s.enabled) {
    w->setEnabled(enabled);
    s.enabled = enabled;
  }
  if (first || m.text_color != s.text_color) {
    // Only the enabled look takes the form's colour, so that a disabled control still greys.
    QPalette palette = w->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      for (QPalette::ColorRole role :
           {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(group, role, ToQColor(m.text_color));
      }
    }
    w->setPalette(palette);
    s.text_color = m.text_color;
  }
  const bool caption_changed = first || m.caption != s.caption;
  switch (b.kind) {
    case Kind::Panel:
      if (caption_changed) static_cast<QGroupBox*>(w)->setTitle(PlainCaption(m.caption));
      break;
    case Kind::Container:
      break;
    case Kind::Label: {
      auto* l = static_cast<FittingLabel*>(w);
      if (caption_changed) l->SetFittedText(LabelText(m.caption));
      if (first || m.centred != s.centred || m.right_aligned != s.right_aligned) {
        const Qt::Alignment vertical = l->wordWrap() ? Qt::AlignTop : Qt::AlignVCenter;
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (m.centred) horizontal = Qt::AlignHCenter;
        if (m.right_aligned) horizontal = Qt::AlignRight;
        l->setAlignment(horizontal | vertical);
        s.centred = m.centred;
        s.right_aligned = m.right_aligned;
      }
      break;
    }
    case Kind::Check: {
      auto* c = static_cast<QCheckBox*>(w);
      if (caption_changed)
        c->setText(c == back_sub_       ? WithMnemonic(m.caption, 'B')
                   : c == control_corr_ ? WithMnemonic(m.caption, 'C')
                                        : PlainCaption(m.caption));
      if (c->isChecked() != m.ticked) {
        const QSignalBlocker block(c);
        c->setChecked(m.ticked);
      }
      break;
    }
    case Kind::Radio: {
      auto* r = static_cast<QRadioButton*>(w);
      if (caption_changed) r->setText(WithMnemonic(m.caption, r == results_radio_[0] ? 'I' : 'M'));
      if (r->isChecked() != m.selected) {
        const QSignalBlocker block(r);
        // An exclusive group cannot show both buttons cleared, which the form can.
        results_group_->setExclusive(false);
        r->setChecked(m.selected);
        results_group_->setExclusive(true);
      }
      break;
    }
    case Kind::Edit: {
      auto* e = static_cast<QLineEdit*>(w);
      if (first || m.text != s.text) {
        const QString text = Q(m.text);
        if (e->text() != text) {
          const QSignalBlocker block(e);
          e->setText(text);
        }
        s.text = m.text;
      }
      break;
    }
    case Kind::Button:
      if (caption_changed) static_cast<QPushButton*>(w)->setText(WithMnemonic(m.caption, 'A'));
      break;
  }
  s.caption = m.caption;
  // A control parked beyond its panel's edge cannot be seen; hidden, it takes neither the
  // focus nor keys (the intensity format parks the microspheres/ml entries there).
  bool visible = m.visible;
  if (visible && b.kind != Kind::Panel && w->parentWidget())
    visible = w->parentWidget()->rect().intersects(w->geometry());
  if (w->isHidden() == visible) w->setVisible(visible);
  b.applied = true;
}

// The record of a run is written by the run's close, beside the file its lines are in, as the
// batch writes it: only what could not be written is said.
void MainWindow::WriteRunRecord() {
  if (!p_.ledger.unwritten.empty()) p_.host.ShowMessage(p_.ledger.unwritten);
}

void MainWindow::ApplyMenus() {
  struct Item {
    QAction* action;
    const Control& model;
    const char* fallback;
    QChar key;
    bool blocked_while_busy;
  };
  const Item items[] = {
      {open_data_, form_.OpenData, "Open Fixed Wavelength File", 'O', true},
      {open_data_ss_, form_.OpenDataSS, "Open Synchronous Scan File", 'S', true},
      {close_it_, form_.CloseIt, "Close File", 'C', true},
      {spillover_, form_.Spillover, "New Spillover Matrix", 'M', true},
      {exit_, form_.Exit, "Exit", 'x', false},
      {about_, form_.AbtKOLVANE, "About KOLVANE...", 'A', false},
  };
  for (const Item& item : items) {
    const QString text = MenuCaption(item.model.caption, item.fallback, item.key);
    if (item.action->text() != text) item.action->setText(text);
    const bool enabled = item.model.enabled && !(item.blocked_while_busy && p_.Busy);
    if (item.action->isEnabled() != enabled) item.action->setEnabled(enabled);
    if (item.action->isVisible() != item.model.visible) item.action->setVisible(item.model.visible);
  }
  // The matrix picture shows the matrix a run solved with, once there is one.
  const bool matrix = p_.figures.ready && !p_.Busy;
  if (matrix_view_->isEnabled() != matrix) matrix_view_->setEnabled(matrix);
}

void MainWindow::ApplyProgress() {
  const ProgressBarControl& m = form_.Perc_Panel;
  ProgressBarControl& s = shown_progress_;
  const bool first = !progress_applied_;
  if (first || m.geometry != s.geometry) {
    perc_panel_->setGeometry(TwipsToPixels(m.geometry, logical_dpi()));
  }
  if (first || m.minimum != s.minimum || m.maximum != s.maximum) {
    perc_panel_->setRange(m.minimum, std::max(m.minimum, m.maximum));
  }
  if (first || m.value != s.value) {
    perc_panel_->SetValueLater(std::clamp(m.value, perc_panel_->minimum(), perc_panel_->maximum()));
  }
  if (perc_panel_->isHidden() == m.visible) perc_panel_->setVisible(m.visible);
  s = m;
  progress_applied_ = true;
}

void MainWindow::ApplySpectra() {
  const SpectrumDisplay& d = form_.Spectra;
  if (!spectra_applied_ || d.geometry != shown_spectra_geometry_) {
    spectra_->setGeometry(TwipsToPixels(d.geometry, logical_dpi()));
    shown_spectra_geometry_ = d.geometry;
    spectra_applied_ = true;
  }
  if (spectra_->isHidden() == d.visible) spectra_->setVisible(d.visible);
}

void MainWindow::ApplyWindow() {
  if (shown_caption_ != form_.caption || windowTitle().isEmpty()) {
    setWindowTitle(Q(form_.caption));
    shown_caption_ = form_.caption;
  }
  Twips g = form_.geometry;
  if (g.width <= 0 || g.height <= 0) g = kDefaultWindow;
  if (g.width != shown_window_geometry_.width || g.height != shown_window_geometry_.height) {
    const double dpi = logical_dpi();
    const QSize form(TwipsToPixels(g.width, dpi), TwipsToPixels(g.height, dpi));
    client_->setFixedSize(form);
    scroll_->setFixedSize(form);
    shown_window_geometry_ = g;
    FitToScreen();
  }
}

void MainWindow::FitToScreen() {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  if (s) FitInto(s->availableGeometry());
}

QSize MainWindow::FrameExtents() const {
  // Once the window manager framed the window its frame is known; before, room for a title bar
  // and borders.
  const QSize frame = frameGeometry().size() - size();
  if (isVisible() && frame.height() > 0) return frame;
  return {16, 48};
}

void MainWindow::FitInto(const QRect& area) {
  const QSize form = client_->size();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const QSize frame = FrameExtents();
  // The menu and status bars and the panels beside the form take what the form cannot; the
  // status line's height depends on its text and on the window's width, so the fit is taken
  // again until it holds. What they take is read from the layout's least size, which follows
  // the form's at once, not from the window's, which a window manager changes later. A shown
  // window that grew past the screen is then made to fit it again.
  const QSize most(area.width() - frame.width(), area.height() - frame.height());
  if (isVisible()) resize(size().boundedTo(most));
  for (int pass = 0; pass < 4; ++pass) {
    layout()->activate();
    const QSize chrome = minimumSizeHint() - scroll_->size();
    const QSize fit = FitFormToRoom(form, most - chrome, bar);
    if (fit == scroll_->size()) break;
    scroll_->setFixedSize(fit);
  }
  if (!isVisible()) return;
  resize(size().boundedTo(most));
  // The title bar and the close box stay on the screen. Until the window manager told its
  // frame, the frame is taken to be what FrameExtents assumes, all of it above the window.
  QRect outer = frameGeometry();
  if (outer == geometry()) outer = geometry().adjusted(0, -frame.height(), frame.width(), 0);
  const int x = std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width()));
  const int y = std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height()));
  if (x != outer.left() || y != outer.top()) move(x, y);
}

QSize MainWindow::FitFormToRoom(const QSize& form, const QSize& given, int bar) {
  // A side cut off brings a scroll bar, which takes room from the other side. Where the panels
  // beside the form take more than the screen, the form gets none.
  const QSize room = given.expandedTo(QSize(0, 0));
  const bool cut_w = form.width() > room.width();
  const bool cut_h = form.height() > room.height();
  return QSize(cut_w ? room.width() : std::min(room.width(), form.width() + (cut_h ? bar : 0)),
               cut_h ? room.height() : std::min(room.height(), form.height() + (cut_w ? bar : 0)));
}

void MainWindow::ApplyFocus() {
  Focus& f = form_.focus;
  if (f.control.empty()) return;
  QWidget* w = widget_named(f.control + "(" + std::to_string(f.index) + ")");
  if (!w) w = widget_named(f.control);
  // Until the window is on the screen the request waits; a control that is not shown cannot
  // take the focus, and the request is dropped.
  if (w && !w->isVisible() && !isVisible()) return;
  if (w && w->isVisible()) {
    w->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
  }
  f = Focus{};
}

void MainWindow::Mirror() {
  if (mirroring_) return;
  mirroring_ = true;
  ApplyWindow();
  ApplyStatus();
  ApplyMenus();
  for (Binding& b : bindings_) Apply(b);
  ApplyProgress();
  ApplySpectra();
  ApplyResults();
  ApplyFocus();
  mirroring_ = false;
}

// `kolvane FILE` opens the file as File > Open Dataset does: its kind from its content, its
// companions by stem.
void MainWindow::OpenGivenFile(const std::string& path) {
  OpenDataset(path);
}

void MainWindow::PlaceAsForm() {
  const double dpi = logical_dpi();
  move(TwipsToPixels(form_.geometry.left, dpi), TwipsToPixels(form_.geometry.top, dpi));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
      auto* key = static_cast<QKeyEvent*>(event);
      int code = 0;
      switch (key->key()) {
        case Qt::Key_F5:
          code = kKeyF5;
          break;
        case Qt::Key_F11:
          code = kKeyF11;
          break;
        case Qt::Key_F12:
          code = kKeyF12;
          break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
          // Enter is Analyze while the option panel shows it, as a dialog's default button.
          if (run_analysis_->isVisible() && run_analysis_->isEnabled() && !BusyGuard() &&
              key->modifiers() == Qt::NoModifier) {
            run_analysis_->click();
            return true;
          }
          break;
        default:
          break;
      }
      if (code != 0) {
        // Holding a key down would pause and resume a run many times a second.
        if (!key->isAutoRepeat()) {
          const int shift = VbShiftState(key->modifiers());
          Handle([this, code, shift] { Form_KeyDown(p_, code, shift); });
        }
        return true;
      }
    }
  } else if (event->type() == QEvent::FocusIn) {
    // Typing into an entry box replaces its whole text; the selection is made after the mouse
    // press that gave the focus has placed the cursor.
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && edit->window() == this && !edit->isReadOnly()) {
      QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The window manager frames the window once it is shown; the fit then knows the frame.
  for (int ms : {200, 1000}) QTimer::singleShot(ms, this, [this] { FitToScreen(); });
}

// A window its own layout grew past the screen (a panel shown, a longer status line, after the
// fits asked for) is fitted again once the layout settled.
void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  const QScreen* s = screen();
  if (!s || fit_pending_ || !isVisible()) return;
  const QSize frame = FrameExtents();
  const QRect area = s->availableGeometry();
  if (width() + frame.width() <= area.width() && height() + frame.height() <= area.height()) return;
  fit_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    fit_pending_ = false;
    FitToScreen();
  });
}

// Closed during a run, the window asks as F5 does; on Yes the run ends as an abort (its lines
// kept under the results file's name, its record written) and then the program.
void MainWindow::closeEvent(QCloseEvent* event) {
  if (running_ && !p_.Ending) {
    event->ignore();
    if (!close_after_run_) close_after_run_ = AskAbortOnClose(p_);
    return;
  }
  SaveSettings();
  if (!p_.Ending) Exit_Click(p_);
  event->accept();
}

}  // namespace kolvane
