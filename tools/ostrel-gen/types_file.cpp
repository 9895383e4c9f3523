// Reading the types file (see types_file.h).
#include "types_file.h"

#include <ostrelbase/ostrelexcept.h>

#include <fstream>
#include <sstream>

namespace ostrel_gen {

namespace {

struct TypeName {
    const char* word;
    ValueType type;
    const char* valueClass;
    const char* plain;  // what accessors take and give (ValueTraits)
    const char* arg;
};

const TypeName kTypes[] = {
    {"string", ValueType::String, "Ostrel::string", "std::string", "const std::string&"},
    {"NMTOKENS", ValueType::NmTokens, "Ostrel::NMTOKENS", "Ostrel::NMTOKENS", "const Ostrel::NMTOKENS&"},
    {"IDREFS", ValueType::IdRefs, "Ostrel::IDREFS", "Ostrel::IDREFS", "const Ostrel::IDREFS&"},
    {"boolean", ValueType::Boolean, "Ostrel::boolean", "bool", "bool"},
    {"integer", ValueType::Integer, "Ostrel::integer", "int", "int"},
    {"non_negative_integer", ValueType::NonNegativeInteger, "Ostrel::non_negative_integer", "unsigned int", "unsigned int"},
    {"positive_integer", ValueType::PositiveInteger, "Ostrel::positive_integer", "unsigned int", "unsigned int"},
    {"non_positive_integer", ValueType::NonPositiveInteger, "Ostrel::non_positive_integer", "int", "int"},
    {"negative_integer", ValueType::NegativeInteger, "Ostrel::negative_integer", "int", "int"},
    {"real", ValueType::Real, "Ostrel::real", "double", "double"},
    {"decimal", ValueType::Decimal, "Ostrel::decimal", "double", "double"},
};

struct Word {
    std::string text;
    int column = 0;
};

// The blank-separated words of a line up to a '#'.
std::vector<Word> wordsOf(const std::string& line) {
    std::vector<Word> words;
    for (std::size_t at = 0; at < line.size() && line[at] != '#';) {
        if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r') {
            ++at;
            continue;
        }
        Word word;
        word.column = static_cast<int>(at) + 1;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r' &&
               line[at] != '#')
            word.text += line[at++];
        words.push_back(word);
    }
    return words;
}

} // namespace

bool valueTypeNamed(const std::string& word, ValueType& type) {
    for (const TypeName& name : kTypes) {
        if (word == name.word) {
            type = name.type;
            return true;
        }
    }
    return false;
}

namespace {
const TypeName& typeName(ValueType type) {
    for (const TypeName& name : kTypes)
        if (name.type == type) return name;
    return kTypes[0];
}
} // namespace

const char* valueClass(ValueType type) { return typeName(type).valueClass; }
const char* plainType(ValueType type) { return typeName(type).plain; }
const char* argumentType(ValueType type) { return typeName(type).arg; }

TypesFile readTypesFile(const std::string& path) {
    TypesFile file;
    file.path = path;
    std::ifstream in(path, std::ios::binary);
    if (!in) OSTREL_THROW("Error: " + path + ":1:1: cannot open the types file");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::vector<Word> words = wordsOf(line);
        if (words.empty()) continue;
        auto fail = [&](int column, const std::string& what) {
            OSTREL_THROW("Error: " + path + ":" + std::to_string(number) + ":" +
                         std::to_string(column) + ": " + what);
        };
        const std::string& directive = words[0].text;
        if (directive == "title") {
            if (words.size() < 2) fail(words[0].column + 5, "expected the title after 'title'");
            const std::size_t from = static_cast<std::size_t>(words[1].column - 1);
            const std::size_t to = static_cast<std::size_t>(words.back().column - 1) +
                                   words.back().text.size();
            file.title = line.substr(from, to - from);
            continue;
        }
        const std::size_t expected = directive == "text" ? 3 : directive == "attribute" ? 4 : 0;
        if (expected == 0)
            fail(words[0].column, "unknown directive '" + directive +
                                      "' (expected 'title', 'text' or 'attribute')");
        if (words.size() != expected) {
            const Word& last = words.back();
            const int column = words.size() < expected
                                   ? last.column + static_cast<int>(last.text.size())
                                   : words[expected].column;
            fail(column, directive == "text" ? "expected 'text ELEMENT TYPE'"
                                             : "expected 'attribute ELEMENT NAME TYPE'");
        }
        TypeMapping mapping;
        mapping.element = words[1].text;
        if (directive == "attribute") mapping.attribute = words[2].text;
        else if (mapping.element == "*") fail(words[1].column, "'text' needs an element name, not '*'");
        const Word& type = words[expected - 1];
        if (!valueTypeNamed(type.text, mapping.type)) {
            std::string known;
            for (const TypeName& name : kTypes) known += (known.empty() ? "" : ", ") + std::string(name.word);
            fail(type.column, "unknown type '" + type.text + "' (expected one of " + known + ")");
        }
        mapping.line = number;
        mapping.column = words[0].column;
        file.mappings.push_back(mapping);
    }
    return file;
}

} // namespace ostrel_gen
