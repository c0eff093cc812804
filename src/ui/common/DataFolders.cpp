#include "ui/common/DataFolders.h"

#include <QCoreApplication>
#include <QDir>

#ifndef LMQ_DATA_FROM_BIN
#define LMQ_DATA_FROM_BIN "../share/lumarq-pylon"
#endif

QStringList DataFolders(const QString& programDir)
{
    const QDir bin(programDir);
    return {bin.path(), QDir::cleanPath(bin.filePath(QStringLiteral(LMQ_DATA_FROM_BIN)))};
}

QStringList DataFolders() { return DataFolders(QCoreApplication::applicationDirPath()); }
