// In this file: the KOLVANE Manual window (Help > KOLVANE Manual, F1): the manual built into the
// program, the same text as docs/manual.md, shown with its headings, tables and links.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace kolvane {

// The manual's Markdown text; empty only when the program was built without it.
QString ManualText();

class ManualWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ManualWindow(QWidget* parent = nullptr);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace kolvane
