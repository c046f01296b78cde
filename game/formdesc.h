#pragma once
// The window description: one component per line, "kind name key=value ...", values
// optionally in double quotes (UTF-8 in the file). Lines starting with '#' are comments.
#include <map>
#include <string>
#include <vector>

namespace game {

struct ComponentDesc {
    std::string kind;
    std::string name;  // empty for a separator
    std::map<std::string, std::string> props;

    bool has(const std::string& key) const { return props.count(key) != 0; }
    std::string str(const std::string& key, const std::string& def = {}) const;
    int num(const std::string& key, int def = 0) const;
    bool flag(const std::string& key, bool def) const;
};

// Parses a description; a malformed line throws std::runtime_error naming the line.
std::vector<ComponentDesc> parseFormDescription(const std::string& text);

}  // namespace game
