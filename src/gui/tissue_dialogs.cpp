#include "gui/tissue_dialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kolvane {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QLabel* WrappedLabel(const std::string& text, QWidget* parent) {
  auto* label = new QLabel(Q(text), parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

TissueDialog::TissueDialog(TissueForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setWindowTitle(Q(form_.caption));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(WrappedLabel(form_.label, this));

  auto* group = new QButtonGroup(this);
  const std::string* captions[2] = {&form_.option0, &form_.option1};
  for (int i = 0; i < 2; ++i) {
    options_[i] = new QRadioButton(Q(*captions[i]), this);
    options_[i]->setChecked(form_.selected == i);
    group->addButton(options_[i], i);
    layout->addWidget(options_[i]);
    connect(options_[i], &QRadioButton::clicked, this, [this, i] {
      form_.selected = i;
      TissueOpt_Click(form_, i);
    });
  }

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(tr("OK"), this);
  auto* cancel = new QPushButton(tr("Cancel Analysis"), this);
  ok->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    TissueOk_Click(form_);
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, [this] {
    TissueCancel_Click(form_);
    accept();
  });
  setMinimumWidth(420);
}

void TissueDialog::reject() {
  if (!form_.closed) TissueCancel_Click(form_);
  QDialog::reject();
}

TissueOptionsDialog::TissueOptionsDialog(TissueOptionsForm& form, QWidget* parent)
    : QDialog(parent), form_(form) {
  setWindowTitle(Q(form_.caption));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(WrappedLabel(form_.label, this));

  auto* buttons = new QHBoxLayout;
  auto* provided = new QPushButton(tr("Use Provided Sample"), this);
  auto* stored = new QPushButton(tr("Use Stored Tissue Sample"), this);
  auto* abort = new QPushButton(tr("Abort Run"), this);
  provided->setDefault(true);
  buttons->addWidget(provided);
  buttons->addWidget(stored);
  buttons->addWidget(abort);
  layout->addLayout(buttons);
  connect(provided, &QPushButton::clicked, this, [this] {
    TissueOptionsUseProvided_Click(form_);
    accept();
  });
  connect(stored, &QPushButton::clicked, this, [this] {
    TissueOptionsUseStored_Click(form_);
    accept();
  });
  connect(abort, &QPushButton::clicked, this, [this] {
    TissueOptionsAbort_Click(form_);
    accept();
  });
  setMinimumWidth(420);
}

void TissueOptionsDialog::reject() {
  if (!form_.closed) TissueOptionsAbort_Click(form_);
  QDialog::reject();
}

}  // namespace kolvane
