#include "model/Version.h"

std::string VersionTextFor(int major, int minor, int release)
{
    return std::to_string(major) + "." + std::to_string(minor) + std::to_string(release);
}

std::string ProgramVersionText() { return VersionTextFor(LMQ_VERSION_MAJOR, LMQ_VERSION_MINOR, LMQ_VERSION_PATCH); }

std::string ProgramFileVersion()
{
    return std::to_string(LMQ_VERSION_MAJOR) + "." + std::to_string(LMQ_VERSION_MINOR) + "." +
           std::to_string(LMQ_VERSION_PATCH) + "." + std::to_string(LMQ_VERSION_TWEAK);
}
