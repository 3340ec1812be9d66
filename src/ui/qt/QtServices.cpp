#include "ui/qt/QtServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QStringDecoder>
#include <QUrl>

namespace kb::qt {

namespace {

// The program's texts are Latin-1; a file path in a message is the file system's UTF-8 (a
// documents folder named in the user's language): valid UTF-8 is read as such.
QString messageText(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString decoded = utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtDialogs::msgBox(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon,
                  QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())),
                  messageText(text), QMessageBox::Ok, parent_.data());
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
