// What a tarvo command prints, independent of the form: sections of named fields and tables,
// rendered as aligned text for a person or as JSON for a program.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace tarvo {

struct Field {
    std::string name;
    std::string value;
    bool present = true;  // false: "not found" in text, null in JSON
};

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

struct Section {
    std::string title;  // text heading; JSON key (lower case, "_" for blanks)
    std::string key;
    std::vector<Field> fields;
    std::vector<Table> tables;  // at most one is usual
    std::vector<Section> children;

    Section& Add(std::string name, std::string value) {
        fields.push_back({std::move(name), std::move(value), true});
        return *this;
    }
    Section& AddMaybe(std::string name, std::string value) {
        const bool found = !value.empty();
        fields.push_back({std::move(name), std::move(value), found});
        return *this;
    }
    Section& Child(std::string childTitle, std::string childKey) {
        children.push_back(Section{std::move(childTitle), std::move(childKey), {}, {}, {}});
        return children.back();
    }
};

struct Document {
    std::vector<Section> sections;
    Section& Add(std::string title, std::string key) {
        sections.push_back(Section{std::move(title), std::move(key), {}, {}, {}});
        return sections.back();
    }
};

std::string RenderText(const Document& document);
std::string RenderJson(const Document& document);

// UTF-8 of a wide text and back.
std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view text);

}  // namespace tarvo
