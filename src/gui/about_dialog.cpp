#include "gui/about_dialog.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/icon.h"

namespace kolvane {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

AboutDialog::AboutDialog(const AboutForm& form, QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(form.caption));
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setPixmap(KolvanePixmap(64));
  icon->setAlignment(Qt::AlignTop);

  auto* product = new QLabel(Q(form.product), this);
  QFont big = product->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  product->setFont(big);

  auto* version = new QLabel(Q(form.lblVersion), this);
  version->setObjectName("lblVersion");
  auto* description = new QLabel(Q(form.lblDescription), this);
  description->setObjectName("lblDescription");
  auto* disclaimer = new QLabel(Q(form.lblDisclaimer), this);
  disclaimer->setObjectName("lblDisclaimer");
  for (QLabel* l : {description, disclaimer}) {
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }

  auto* text = new QVBoxLayout;
  text->addWidget(product);
  text->addWidget(version);
  text->addSpacing(8);
  text->addWidget(description);
  text->addSpacing(8);
  text->addWidget(disclaimer);

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(text, 1);

  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);
}

}  // namespace kolvane
