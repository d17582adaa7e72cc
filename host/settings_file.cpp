#include "settings_file.h"

#include <cstdint>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
const char kSection[] = "[Panel]";
const char kCountKey[] = "Tools";
const char kStatePrefix[] = "Tool";
const char kStateSuffix[] = "State";
// The panel's place, in this order.
const char* const kPlaceKeys[] = {"Left", "Top", "Width", "Height"};

int32_t& PlaceField(PanelPlace& place, int key)
{
    switch (key) {
    case 0:
        return place.left;
    case 1:
        return place.top;
    case 2:
        return place.width;
    default:
        return place.height;
    }
}

// The index of a place key, or -1.
int PlaceKey(const std::string& key)
{
    for (int i = 0; i < 4; ++i)
        if (key == kPlaceKeys[i])
            return i;
    return -1;
}

bool ParseInt(const std::string& text, long long& value)
{
    if (text.empty() || text.size() > 12)
        return false;
    char* end = nullptr;
    errno = 0;
    value = strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

// The index N of a "ToolNState" key.
bool ParseStateKey(const std::string& key, long long& index)
{
    const size_t prefix = sizeof kStatePrefix - 1, suffix = sizeof kStateSuffix - 1;
    return key.size() > prefix + suffix && key.compare(0, prefix, kStatePrefix) == 0 &&
           key.compare(key.size() - suffix, suffix, kStateSuffix) == 0 &&
           ParseInt(key.substr(prefix, key.size() - prefix - suffix), index);
}

#ifdef _WIN32
// Written and flushed to the disk before it takes the old file's place.
bool WriteWholeFile(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size() && FlushFileBuffers(file);
    CloseHandle(file);
    return whole;
}

bool ReplaceFileWith(const std::string& temporary, const std::string& path)
{
    return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool WriteWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    return static_cast<bool>(out);
}

bool ReplaceFileWith(const std::string& temporary, const std::string& path)
{
    return rename(temporary.c_str(), path.c_str()) == 0;
}
#endif
}  // namespace

std::string FormatSettings(const PanelSettings& settings)
{
    std::ostringstream out;
    out << kSection << "\n" << kCountKey << "=" << settings.toolStates.size() << "\n";
    for (size_t i = 0; i < settings.toolStates.size(); ++i)
        out << kStatePrefix << i << kStateSuffix << "=" << settings.toolStates[i] << "\n";
    if (settings.place.Known()) {
        const PanelPlace& place = settings.place;
        const int32_t values[] = {place.left, place.top, place.width, place.height};
        for (int key = 0; key < 4; ++key)
            out << kPlaceKeys[key] << "=" << values[key] << "\n";
    }
    return out.str();
}

std::string ParseSettings(const std::string& text, PanelSettings& settings)
{
    std::istringstream in(text);
    long long count = -1;
    int skipped = 0;
    std::vector<std::pair<long long, int32_t>> states;
    PanelPlace place;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line == kSection)
            continue;
        const size_t equals = line.find('=');
        long long value, index;
        if (equals == std::string::npos || !ParseInt(line.substr(equals + 1), value)) {
            ++skipped;
            continue;
        }
        const std::string key = line.substr(0, equals);
        if (key == kCountKey)
            count = value;
        else if (ParseStateKey(key, index) && value >= INT32_MIN && value <= INT32_MAX)
            states.emplace_back(index, static_cast<int32_t>(value));
        else if (PlaceKey(key) >= 0 && value >= INT32_MIN && value <= INT32_MAX)
            PlaceField(place, PlaceKey(key)) = static_cast<int32_t>(value);
        else
            ++skipped;
    }
    settings.toolStates.clear();
    // A place only half read is no place: the panel opens where a first start puts it.
    settings.place = place.Known() ? place : PanelPlace{};
    if (count < 0)
        return "the settings name no number of tools";
    const long long kept = count < kMaxPanelTools ? count : kMaxPanelTools;
    settings.toolStates.assign(static_cast<size_t>(kept), kDefaultToolState);
    size_t found = 0;
    for (const auto& [index, state] : states)
        if (index >= 0 && index < kept) {
            settings.toolStates[static_cast<size_t>(index)] = state;
            ++found;
        }
    if (count > kMaxPanelTools)
        return "the settings name " + std::to_string(count) + " tools; the panel keeps the first " +
               std::to_string(kMaxPanelTools);
    if (skipped != 0 || found < static_cast<size_t>(kept))
        return "some tool settings could not be read; those tools have the default";
    return "";
}

SettingsLoad LoadSettings(const std::string& path, PanelSettings& settings, std::string& problem)
{
    problem.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return SettingsLoad::kMissing;
    std::string text(kMaxSettingsBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    if (text.size() > kMaxSettingsBytes) {
        settings.toolStates.clear();
        problem = "the settings file is larger than " + std::to_string(kMaxSettingsBytes / 1024) + " KiB";
        return SettingsLoad::kDamaged;
    }
    problem = ParseSettings(text, settings);
    return problem.empty() ? SettingsLoad::kLoaded : SettingsLoad::kDamaged;
}

bool SaveSettings(const std::string& path, const PanelSettings& settings)
{
    const std::string temporary = path + ".new";
    if (WriteWholeFile(temporary, FormatSettings(settings)) && ReplaceFileWith(temporary, path))
        return true;
    remove(temporary.c_str());
    return false;
}
