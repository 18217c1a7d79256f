#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

#include "platform/ExecutableFolder.h"

namespace keyloom {

std::string ProgramFolder() {
  // The system's own bytes: a detour through QString would garble a folder
  // name that is not valid UTF-8, and every file would be looked for elsewhere.
  std::string folder = platform::ExecutableFolder();
  if (folder.empty()) folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
  return folder;
}

std::string DataFilePath(const std::string& fileName) { return ProgramFolder() + "/" + fileName; }

}  // namespace keyloom
