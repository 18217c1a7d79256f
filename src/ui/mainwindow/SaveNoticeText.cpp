#include "ui/mainwindow/SaveNoticeText.h"

#include <QFile>
#include <QStringList>

#include "ui/toolkit/Translator.h"

namespace keyloom {
namespace {

QString Reason(const platform::FileStatus& status) {
  switch (status.fault) {
    case platform::FileFault::ReadOnly:
      return QStringLiteral("the folder is read-only");
    case platform::FileFault::NoPermission:
      return QStringLiteral("no permission to write");
    case platform::FileFault::DiskFull:
      return QStringLiteral("the disk is full");
    case platform::FileFault::NotRegular:
      return QStringLiteral("it is not a regular file");
    case platform::FileFault::TooLarge:
      return QStringLiteral("it is too large");
    default:
      return QStringLiteral("a system error");
  }
}

QString FileName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return QFile::decodeName(QByteArray::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1)));
}

}  // namespace

QString SaveNoticeText(const std::vector<SaveFailure>& failures, const ui::Translator& translator) {
  if (failures.empty()) return {};
  QStringList names;
  for (const SaveFailure& failure : failures) names << FileName(failure.path);
  const QString sentence =
      translator.Translate(QStringLiteral("Could not save %1: %2. Changes are kept only until keyloom closes."));
  return sentence.arg(names.join(translator.Translate(QStringLiteral(", "))), translator.Translate(Reason(failures.back().status)));
}

}  // namespace keyloom
