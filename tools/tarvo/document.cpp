#include "tools/tarvo/document.h"

#include "text/code_pages.h"

#include <algorithm>

namespace tarvo {

namespace {

constexpr char kNotFound[] = "(not found)";

std::string FieldText(const Value& value) {
    return value.json.is_null() && value.text.empty() ? kNotFound : value.text;
}

void RenderSectionText(const Section& section, int depth, std::string& out) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (!section.title.empty()) {
        out += indent + section.title + "\n";
    }
    std::size_t width = 0;
    for (const Field& field : section.fields) width = std::max(width, field.label.size());
    for (const Field& field : section.fields) {
        out += indent + "  " + field.label + std::string(width - field.label.size(), ' ') + "  " +
               FieldText(field.value) + "\n";
    }
    for (const Table& table : section.tables) {
        std::vector<std::string> header = table.labels;
        for (std::size_t c = header.size(); c < table.columns.size(); ++c)
            header.push_back(LabelOf(table.columns[c]));
        std::vector<std::size_t> widths(header.size());
        for (std::size_t c = 0; c < header.size(); ++c) widths[c] = header[c].size();
        for (const auto& row : table.rows) {
            for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
                widths[c] = std::max(widths[c], row[c].text.size());
            }
        }
        auto line = [&](const std::vector<std::string>& cells) {
            std::string text = indent + "  ";
            for (std::size_t c = 0; c < widths.size(); ++c) {
                const std::string cell = c < cells.size() ? cells[c] : "";
                text += cell;
                if (c + 1 < widths.size()) text += std::string(widths[c] - cell.size() + 2, ' ');
            }
            while (!text.empty() && text.back() == ' ') text.pop_back();
            out += text + "\n";
        };
        line(header);
        for (const auto& row : table.rows) {
            std::vector<std::string> cells;
            for (const Value& cell : row) cells.push_back(cell.text);
            line(cells);
        }
        if (table.rows.empty()) out += indent + "  (none)\n";
    }
    for (const Section& child : section.children) RenderSectionText(child, depth + 1, out);
}

Json TableJson(const Table& table) {
    Json rows = Json::array();
    for (const auto& row : table.rows) {
        Json item = Json::object();
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            item[table.columns[c]] = c < row.size() ? row[c].json : Json(nullptr);
        }
        rows.push_back(std::move(item));
    }
    return rows;
}

Json SectionJson(const Section& section) {
    if (section.fields.empty() && section.children.empty() && section.tables.size() == 1) {
        return TableJson(section.tables.front());
    }
    Json object = Json::object();
    for (const Field& field : section.fields) object[field.key] = field.value.json;
    for (const Table& table : section.tables) object[table.key] = TableJson(table);
    for (const Section& child : section.children) object[child.key] = SectionJson(child);
    return object;
}

}  // namespace

Value Value::List(const std::vector<std::string>& items) {
    Value value{"", Json::array()};
    for (const std::string& item : items) {
        value.text += (value.text.empty() ? "" : ", ") + item;
        value.json.push_back(item);
    }
    return value;
}

Section& Section::Add(std::string fieldKey, Value value, std::string label) {
    if (label.empty()) label = LabelOf(fieldKey);
    fields.push_back({std::move(fieldKey), std::move(label), std::move(value)});
    return *this;
}

std::string LabelOf(const std::string& key) {
    std::string label = key;
    std::replace(label.begin(), label.end(), '_', ' ');
    return label;
}

std::string RenderText(const Document& document) {
    std::string out;
    for (std::size_t i = 0; i < document.sections.size(); ++i) {
        if (i > 0) out += "\n";
        RenderSectionText(document.sections[i], 0, out);
    }
    return out;
}

std::string RenderJson(const Document& document) {
    Json root = Json::object();
    for (const Section& section : document.sections) root[section.key] = SectionJson(section);
    return DumpJson(root);
}

std::string DumpJson(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// The library's own converter, so that the tool writes what the library reads.
std::string Utf8(std::wstring_view text) {
    return tarvox::SystemCodePages().encode(tarvox::kCodePageUtf8, text);
}

std::wstring Wide(std::string_view text) {
    std::wstring out;
    tarvox::SystemCodePages().decode(tarvox::kCodePageUtf8, text, out);
    return out;
}

}  // namespace tarvo
