#include "app/ProgramFolder.h"

#include <QCoreApplication>

namespace keyloom {

std::string ProgramFolder() { return QCoreApplication::applicationDirPath().toStdString(); }

std::string DataFilePath(const std::string& fileName) { return ProgramFolder() + "/" + fileName; }

}  // namespace keyloom
