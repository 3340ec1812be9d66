#include "ui/qt/QtServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace kb::qt {

void QtDialogs::msgBox(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon,
                  QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())),
                  QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, parent_.data());
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  ++open_;
  box.exec();
  --open_;
}

bool QtDesktop::open(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace kb::qt
