#include "settings_file.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace {
const char kSection[] = "[Panel]";
const char kCountKey[] = "Tools";
const char kStatePrefix[] = "Tool";
const char kStateSuffix[] = "State";
const int kMaxTools = 64;

bool ParseInt(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = strtol(text.c_str(), &end, 10);
    return end != nullptr && *end == '\0';
}
}  // namespace

std::string FormatSettings(const PanelSettings& settings)
{
    std::ostringstream out;
    out << kSection << "\n" << kCountKey << "=" << settings.toolStates.size() << "\n";
    for (size_t i = 0; i < settings.toolStates.size(); ++i)
        out << kStatePrefix << i << kStateSuffix << "=" << settings.toolStates[i] << "\n";
    return out.str();
}

PanelSettings ParseSettings(const std::string& text)
{
    std::istringstream in(text);
    long count = -1;
    std::vector<std::pair<long, int32_t>> states;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        long value;
        if (!ParseInt(line.substr(equals + 1), value))
            continue;
        if (key == kCountKey) {
            count = value;
        } else if (key.rfind(kStatePrefix, 0) == 0 && key.size() > sizeof kStatePrefix + sizeof kStateSuffix - 2) {
            long index;
            const std::string digits = key.substr(sizeof kStatePrefix - 1,
                                                  key.size() - (sizeof kStatePrefix - 1) - (sizeof kStateSuffix - 1));
            if (key.compare(key.size() - (sizeof kStateSuffix - 1), std::string::npos, kStateSuffix) == 0 &&
                ParseInt(digits, index))
                states.emplace_back(index, static_cast<int32_t>(value));
        }
    }
    PanelSettings settings;
    if (count < 0 || count > kMaxTools)
        return settings;
    settings.toolStates.assign(static_cast<size_t>(count), 4);
    for (const auto& [index, state] : states)
        if (index >= 0 && index < count)
            settings.toolStates[static_cast<size_t>(index)] = state;
    return settings;
}

bool LoadSettings(const std::string& path, PanelSettings& settings)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::stringstream text;
    text << in.rdbuf();
    settings = ParseSettings(text.str());
    return true;
}

bool SaveSettings(const std::string& path, const PanelSettings& settings)
{
    std::ofstream out(path, std::ios::trunc);
    out << FormatSettings(settings);
    return static_cast<bool>(out);
}
