#pragma once
#include <QString>
#include <QStringList>

// Where the program looks for the files it reads at run time (the language
// INI file, the manuals), in this order: beside the program, then the share
// folder of the installation the program belongs to (found relative to the
// program's folder, so an installed tree can be moved as a whole). A build
// tree has its files beside the program.
QStringList DataFolders(const QString& programDir);
// The same for the running program (QCoreApplication::applicationDirPath()).
QStringList DataFolders();

// The readable regular file in `folder` whose name is `name` in any letter
// case (`name` itself first, then the first other spelling by name), or an
// empty string. Files copied from Windows keep whatever case they had. The
// folder may be as large as /usr/bin: it is read once, without a look at
// any other file.
QString FileInAnyCase(const QString& folder, const QString& name);
