#pragma once
#include <QString>

// The program's version text and the folder its file dialogs start in.
class ProgramVersion {
public:
    // The version text of model/Version.h, for the forms.
    static QString Format(int major, int minor, int release);
    // The version the program was built with (2.1.7.0 reads "2.17").
    static QString Text();

    // The user's documents folder + "/Lumarq Technology/KD4M_" + version + "/";
    // the program's folder when the system names no documents folder. The
    // folder is not created.
    static QString DocumentsDir(const QString& versionText);
    static QString DocumentsDir(const QString& documentsLocation, const QString& programDir,
                                const QString& versionText);
};
