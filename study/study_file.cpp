#include "study/study_file.h"

#include <toml++/toml.h>

#include <cctype>
#include <cmath>
#include <sstream>

#include "study/text_files.h"

namespace torvex {

namespace {

// A study file is a few dozen lines; anything much larger is not one.
constexpr std::size_t kMaxStudyFileBytes = 1 << 20;

struct Fault {
    std::string message;
};

// A study file nests three levels ([[sweep]], a range's inline table). The
// TOML library descends once per level of nesting, dotted keys included, so
// a key of 50 000 dots would overflow the stack inside it: the text is
// measured before it is parsed.
constexpr int kMaxNesting = 32;

// Where the nesting scan stands: outside any string or comment, or in one.
enum class Scan { Plain, Comment, Basic, Literal, MultiBasic, MultiLiteral };

bool startsWith(const std::string& text, std::size_t at, const char* part) {
    return text.compare(at, std::char_traits<char>::length(part), part) == 0;
}

// The line (from 1) of the first place where lists, tables and the dots of
// a key together nest deeper than kMaxNesting; 0 when none does. Dots are
// counted from the last "=", ",", bracket or line end, so a number such as
// 8.5 counts one level, which only makes the bound a little stricter.
int tooDeeplyNestedLine(const std::string& text) {
    Scan scan = Scan::Plain;
    int depth = 0, dots = 0, line = 1;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (c == '\n') ++line;
        switch (scan) {
        case Scan::Comment:
            if (c == '\n') scan = Scan::Plain;
            continue;
        case Scan::Basic:
            if (c == '\\') ++k;
            else if (c == '"' || c == '\n') scan = Scan::Plain;
            continue;
        case Scan::Literal:
            if (c == '\'' || c == '\n') scan = Scan::Plain;
            continue;
        case Scan::MultiBasic:
            if (c == '\\') ++k;
            else if (startsWith(text, k, "\"\"\"")) scan = Scan::Plain, k += 2;
            continue;
        case Scan::MultiLiteral:
            if (startsWith(text, k, "\'\'\'")) scan = Scan::Plain, k += 2;
            continue;
        case Scan::Plain: break;
        }
        if (c == '#') scan = Scan::Comment;
        else if (startsWith(text, k, "\"\"\"")) scan = Scan::MultiBasic, k += 2;
        else if (startsWith(text, k, "\'\'\'")) scan = Scan::MultiLiteral, k += 2;
        else if (c == '"') scan = Scan::Basic;
        else if (c == '\'') scan = Scan::Literal;
        else if (c == '.') ++dots;
        else if (c == '[' || c == '{') ++depth, dots = 0;
        else if (c == ']' || c == '}') depth = depth > 0 ? depth - 1 : 0, dots = 0;
        else if (c == '=' || c == ',' || c == '\n') dots = 0;
        if (depth + dots > kMaxNesting) return line;
    }
    return 0;
}

std::string where(const toml::node& node) {
    const auto line = node.source().begin.line;
    return line > 0 ? " (line " + std::to_string(line) + ")" : std::string();
}

double numberOf(const toml::node& node, const std::string& key) {
    if (const auto v = node.value<double>(); v && std::isfinite(*v)) return *v;
    throw Fault{"\"" + key + "\" holds something that is not a number" + where(node)};
}

ValueChoice rangeChoice(const toml::table& table, const std::string& key) {
    ValueChoice c;
    c.kind = ValueChoice::Kind::Range;
    for (const char* part : {"from", "to", "step"})
        if (!table.contains(part))
            throw Fault{"the range \"" + key + "\" needs from, to and step" + where(table)};
    for (const auto& [name, node] : table)
        if (name != "from" && name != "to" && name != "step")
            throw Fault{"the range \"" + key + "\" has the unknown key \"" + std::string(name.str()) + "\"" +
                        where(node)};
    c.from = numberOf(*table.get("from"), key);
    c.to = numberOf(*table.get("to"), key);
    c.step = numberOf(*table.get("step"), key);
    if (c.step <= 0) throw Fault{"the range \"" + key + "\" needs a step above 0" + where(table)};
    if (c.to < c.from) throw Fault{"the range \"" + key + "\" ends before it starts" + where(table)};
    // A range is for a sweep, not for an accidental million variants.
    if ((c.to - c.from) / c.step > 100000)
        throw Fault{"the range \"" + key + "\" has too many steps" + where(table)};
    return c;
}

ValueChoice choiceOf(const toml::table& sweep, const std::string& key) {
    const toml::node* node = sweep.get(key);
    if (!node) throw Fault{"a sweep has no \"" + key + "\"" + where(sweep)};
    ValueChoice c;
    if (const auto text = node->value<std::string>()) {
        if (*text != "all")
            throw Fault{"\"" + key + "\" may be a number, a list, a range or \"all\", not \"" + *text + "\"" +
                        where(*node)};
        c.kind = ValueChoice::Kind::DialogValues;
        return c;
    }
    if (const toml::table* table = node->as_table()) return rangeChoice(*table, key);
    if (const toml::array* array = node->as_array()) {
        if (array->empty()) throw Fault{"the list \"" + key + "\" is empty" + where(*node)};
        for (const toml::node& item : *array) c.values.push_back(numberOf(item, key));
        return c;
    }
    c.values.push_back(numberOf(*node, key));
    return c;
}

// Unit words are taken in any case: "SLPM", "slpm".
bool sameWord(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

int unitCode(const toml::table& units, const char* key, std::initializer_list<const char*> words) {
    const toml::node* node = units.get(key);
    if (!node) return 1;
    const auto text = node->value<std::string>();
    int code = 1;
    std::string known;
    for (const char* word : words) {
        if (text && sameWord(*text, word)) return code;
        known += (known.empty() ? "\"" : ", \"") + std::string(word) + "\"";
        ++code;
    }
    throw Fault{"the " + std::string(key) + " unit must be one of " + known + where(*node)};
}

StudyDefinition definitionOf(const toml::table& root) {
    StudyDefinition d;
    for (const auto& [name, node] : root)
        if (name != "units" && name != "sweep")
            throw Fault{"the key \"" + std::string(name.str()) + "\" is not known (units, sweep)" +
                        where(node)};
    if (const toml::node* unitsNode = root.get("units")) {
        const toml::table* units = unitsNode->as_table();
        if (!units) throw Fault{"\"units\" must be a table" + where(*unitsNode)};
        for (const auto& [name, node] : *units)
            if (name != "length" && name != "temperature" && name != "flow")
                throw Fault{"the unit \"" + std::string(name.str()) +
                            "\" is not known (length, temperature, flow)" + where(node)};
        d.units.length = unitCode(*units, "length", {"mm", "in"});
        d.units.temperature = unitCode(*units, "temperature", {"K", "F", "C"});
        d.units.flow = unitCode(*units, "flow", {"SLPM", "SCFH"});
    }
    const toml::node* sweepsNode = root.get("sweep");
    const toml::array* sweeps = sweepsNode ? sweepsNode->as_array() : nullptr;
    if (!sweeps || sweeps->empty()) throw Fault{"there is no [[sweep]]"};
    for (const toml::node& item : *sweeps) {
        const toml::table* table = item.as_table();
        if (!table) throw Fault{"each sweep must be a table ([[sweep]])" + where(item)};
        for (const auto& [name, node] : *table)
            if (name != "gas" && name != "diameter" && name != "length" && name != "current" &&
                name != "flow")
                throw Fault{"a sweep has the unknown key \"" + std::string(name.str()) +
                            "\" (gas, diameter, length, current, flow)" + where(node)};
        Sweep s;
        s.gas = choiceOf(*table, "gas");
        s.diameter = choiceOf(*table, "diameter");
        s.length = choiceOf(*table, "length");
        s.current = choiceOf(*table, "current");
        s.flow = choiceOf(*table, "flow");
        d.sweeps.push_back(s);
    }
    return d;
}

}  // namespace

bool parseStudyText(const std::string& text, const std::string& name, StudyDefinition& definition,
                    std::string& error) {
    if (const int line = tooDeeplyNestedLine(text)) {
        error = "The study file " + name + " nests lists, tables or dotted keys deeper than " +
                std::to_string(kMaxNesting) + " levels (line " + std::to_string(line) +
                "); a study needs three.";
        return false;
    }
    try {
        const toml::table root = toml::parse(text, name);
        definition = definitionOf(root);
        return true;
    } catch (const toml::parse_error& e) {
        std::ostringstream message;
        message << "The study file " << name << " is not valid TOML (line " << e.source().begin.line
                << "): " << e.description();
        error = message.str();
    } catch (const Fault& f) {
        error = "The study file " + name + ": " + f.message + ".";
    }
    return false;
}

bool readStudyFile(const std::string& path, StudyDefinition& definition, std::string& error) {
    std::string text;
    if (!readBoundedTextFile(path, kMaxStudyFileBytes, text, error)) return false;
    return parseStudyText(text, path, definition, error);
}

}  // namespace torvex
