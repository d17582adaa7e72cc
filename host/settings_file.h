// The reference host's settings: how many tools its panel holds and the
// 4-byte state of each, in a small INI-style text file a user can edit.
#ifndef GLIMBER_HOST_SETTINGS_FILE_H
#define GLIMBER_HOST_SETTINGS_FILE_H

#include <stdint.h>

#include <string>
#include <vector>

// Where the panel window stood, in screen coordinates; none until it was first saved.
struct PanelPlace {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool Known() const { return width > 0 && height > 0; }
};

struct PanelSettings {
    // One entry per tool, in panel order: the tool's saved StateBlob as a signed 32-bit value.
    std::vector<int32_t> toolStates;
    PanelPlace place;
};

// The state of a tool nothing was saved for: factor 4.
const int32_t kDefaultToolState = 4;

// The most tools a panel restores, and the largest settings file it reads.
const int kMaxPanelTools = 64;
const size_t kMaxSettingsBytes = size_t{64} * 1024;

std::string FormatSettings(const PanelSettings& settings);

// Reads what FormatSettings wrote into `settings`; what cannot be read is skipped
// and a missing state is the default. Returns "" for a sound text, else what was
// wrong with it, for the user: with no readable tool count `settings` is empty,
// with too many tools it holds the first kMaxPanelTools.
std::string ParseSettings(const std::string& text, PanelSettings& settings);

enum class SettingsLoad { kLoaded, kMissing, kDamaged };
// `problem` says what was wrong when the file is damaged.
SettingsLoad LoadSettings(const std::string& path, PanelSettings& settings, std::string& problem);

// Writes a temporary file beside `path` and replaces `path` with it in one step,
// so the file always holds either the old settings or the new, whole.
bool SaveSettings(const std::string& path, const PanelSettings& settings);

#endif
