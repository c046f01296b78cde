// Reading the window description text.
#include "game/formdesc.h"

#include <cctype>
#include <stdexcept>

namespace game {

std::string ComponentDesc::str(const std::string& key, const std::string& def) const {
    auto it = props.find(key);
    return it == props.end() ? def : it->second;
}

int ComponentDesc::num(const std::string& key, int def) const {
    auto it = props.find(key);
    if (it == props.end()) return def;
    return std::stoi(it->second);
}

bool ComponentDesc::flag(const std::string& key, bool def) const {
    auto it = props.find(key);
    if (it == props.end()) return def;
    return it->second == "1" || it->second == "true";
}

std::vector<ComponentDesc> parseFormDescription(const std::string& text) {
    std::vector<ComponentDesc> out;
    std::size_t lineNo = 0, pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t i = 0;
        auto skipBlanks = [&] {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        };
        auto word = [&] {
            std::size_t s = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])) &&
                   line[i] != '=')
                ++i;
            return line.substr(s, i - s);
        };
        skipBlanks();
        if (i == line.size() || line[i] == '#') continue;
        ComponentDesc c;
        c.kind = word();
        skipBlanks();
        if (c.kind != "separator") {
            // The second word is the name, unless it is already a key=value pair.
            std::size_t save = i;
            std::string w = word();
            if (i < line.size() && line[i] == '=')
                i = save;
            else
                c.name = w;
        }
        while (true) {
            skipBlanks();
            if (i >= line.size()) break;
            std::string key = word();
            if (i >= line.size() || line[i] != '=' || key.empty())
                throw std::runtime_error("window description, line " + std::to_string(lineNo) +
                                         ": expected key=value");
            ++i;
            std::string value;
            if (i < line.size() && line[i] == '"') {
                std::size_t close = line.find('"', i + 1);
                if (close == std::string::npos)
                    throw std::runtime_error("window description, line " + std::to_string(lineNo) +
                                             ": unclosed quote");
                value = line.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                std::size_t s = i;
                while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
                value = line.substr(s, i - s);
            }
            c.props[key] = value;
        }
        out.push_back(std::move(c));
    }
    return out;
}

}  // namespace game
