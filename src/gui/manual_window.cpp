#include "gui/manual_window.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kolvane {

QString ManualText() {
  QFile file(QStringLiteral(":/manual.md"));
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

ManualWindow::ManualWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("ManualWindow");
  setWindowTitle(tr("KOLVANE Manual"));
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  browser_->setMarkdown(ManualText());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(720, 640);
}

}  // namespace kolvane
