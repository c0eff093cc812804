#pragma once
#include <string>

// The program's version. Its text is major + "." + minor and release run
// together: 2.1.7 gives "2.17", 1.0.12 gives "1.012"; the build part is not
// shown. The file version is all four parts: "2.1.7.0".
std::string VersionTextFor(int major, int minor, int release);
// The text of the version the program was built with ("2.17").
std::string ProgramVersionText();
// The file version the program was built with ("2.1.7.0").
std::string ProgramFileVersion();
