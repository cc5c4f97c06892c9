// What a tarvo command prints, independent of the form: sections of named fields and tables,
// rendered as aligned text for a person or as JSON for a program.
//
// Every value carries both forms: the text a person reads ("yes", "(not found)", "*") and the
// JSON a script reads (true, null, numbers as numbers). Keys are snake_case; a field's or a
// column's text label is its key with blanks for the underscores unless one is given.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tarvo {

using Json = nlohmann::ordered_json;

struct Value {
    std::string text;
    Json json;

    static Value Text(std::string text) { return {text, Json(text)}; }
    // Empty text: not found (null in JSON).
    static Value Maybe(std::string text) {
        return text.empty() ? Value{"", Json(nullptr)} : Value{text, Json(text)};
    }
    static Value Bool(bool flag) { return {flag ? "yes" : "no", Json(flag)}; }
    // A flag shown as a mark in text ("*" or nothing).
    static Value Mark(bool flag, std::string mark) { return {flag ? mark : "", Json(flag)}; }
    static Value Number(long long number) { return {std::to_string(number), Json(number)}; }
    // 1 yes, 0 no, anything else unknown (null).
    static Value Tristate(int state) {
        return state == 1 || state == 0 ? Bool(state == 1) : Value{"unknown", Json(nullptr)};
    }
    // A list: joined by ", " in text, an array in JSON.
    static Value List(const std::vector<std::string>& items);
};

struct Field {
    std::string key;
    std::string label;
    Value value;
};

struct Table {
    std::string key;                   // the JSON key when the section holds more than the table
    std::vector<std::string> columns;  // JSON keys
    std::vector<std::string> labels;   // text headers; derived from the keys when empty
    std::vector<std::vector<Value>> rows;
};

struct Section {
    std::string title;  // text heading
    std::string key;    // JSON key
    std::vector<Field> fields;
    std::vector<Table> tables;
    std::vector<Section> children;

    Section& Add(std::string fieldKey, Value value, std::string label = {});
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

// The text label of a key: "product_key" reads "product key".
std::string LabelOf(const std::string& key);

std::string RenderText(const Document& document);
// An object with a member per section. A section that holds one table and nothing else is that
// table's array of row objects; otherwise an object of its fields, its tables (under their
// keys) and its child sections.
std::string RenderJson(const Document& document);
// JSON text of any value, with invalid UTF-8 (a broken registry value) replaced.
std::string DumpJson(const Json& json);

// UTF-8 of a wide text and back.
std::string Utf8(std::wstring_view text);
std::wstring Wide(std::string_view text);

}  // namespace tarvo
