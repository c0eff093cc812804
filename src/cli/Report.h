#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "model/PylonConfig.h"

// What `show` prints of a configuration: the seven lines as the sign shows
// them, brightness, gamma, fonts, DOMS, the serial port and the pylon list.
// The JSON object is the documented schema of pylonctl(1); fields are only
// ever added to it.
using Json = nlohmann::ordered_json;

// The version of the JSON schema every object carries as "schema".
constexpr int JsonSchemaVersion = 1;

Json ConfigurationJson(const PylonConfig& model);
std::string ConfigurationText(const PylonConfig& model);
