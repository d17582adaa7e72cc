// The reference host's settings: how many tools its panel holds and the
// 4-byte state of each, in a small INI-style text file.
#ifndef GLIMBER_HOST_SETTINGS_FILE_H
#define GLIMBER_HOST_SETTINGS_FILE_H

#include <stdint.h>

#include <string>
#include <vector>

struct PanelSettings {
    // One entry per tool, in panel order: the tool's saved StateBlob as a signed 32-bit value.
    std::vector<int32_t> toolStates;
};

std::string FormatSettings(const PanelSettings& settings);

// Reads what FormatSettings wrote; unknown or malformed lines are skipped.
PanelSettings ParseSettings(const std::string& text);

bool LoadSettings(const std::string& path, PanelSettings& settings);
bool SaveSettings(const std::string& path, const PanelSettings& settings);

#endif
