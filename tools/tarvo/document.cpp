#include "tools/tarvo/document.h"

#include <nlohmann/json.hpp>

#include <windows.h>

#include <algorithm>

namespace tarvo {

namespace {

constexpr char kNotFound[] = "(not found)";

void RenderSectionText(const Section& section, int depth, std::string& out) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (!section.title.empty()) {
        out += indent + section.title + "\n";
    }
    std::size_t width = 0;
    for (const Field& field : section.fields) width = std::max(width, field.name.size());
    for (const Field& field : section.fields) {
        out += indent + "  " + field.name + std::string(width - field.name.size(), ' ') + "  " +
               (field.present ? field.value : kNotFound) + "\n";
    }
    for (const Table& table : section.tables) {
        std::vector<std::size_t> widths(table.columns.size());
        for (std::size_t c = 0; c < table.columns.size(); ++c) widths[c] = table.columns[c].size();
        for (const auto& row : table.rows) {
            for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
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
        line(table.columns);
        for (const auto& row : table.rows) line(row);
        if (table.rows.empty()) out += indent + "  (none)\n";
    }
    for (const Section& child : section.children) RenderSectionText(child, depth + 1, out);
}

nlohmann::ordered_json SectionJson(const Section& section) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const Field& field : section.fields) {
        object[field.name] = field.present ? nlohmann::ordered_json(field.value) : nlohmann::ordered_json(nullptr);
    }
    for (const Table& table : section.tables) {
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const auto& row : table.rows) {
            nlohmann::ordered_json item = nlohmann::ordered_json::object();
            for (std::size_t c = 0; c < table.columns.size(); ++c) item[table.columns[c]] = c < row.size() ? row[c] : "";
            rows.push_back(std::move(item));
        }
        if (section.fields.empty() && section.children.empty() && section.tables.size() == 1) return rows;
        object["rows"] = std::move(rows);
    }
    for (const Section& child : section.children) object[child.key] = SectionJson(child);
    return object;
}

}  // namespace

std::string RenderText(const Document& document) {
    std::string out;
    for (std::size_t i = 0; i < document.sections.size(); ++i) {
        if (i > 0) out += "\n";
        RenderSectionText(document.sections[i], 0, out);
    }
    return out;
}

std::string RenderJson(const Document& document) {
    nlohmann::ordered_json root = nlohmann::ordered_json::object();
    for (const Section& section : document.sections) root[section.key] = SectionJson(section);
    // Invalid UTF-8 (a broken registry value) is replaced rather than thrown about.
    return root.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view text) {
    if (text.empty()) return {};
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(chars), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), chars);
    return out;
}

}  // namespace tarvo
