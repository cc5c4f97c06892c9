// tarvo folders, tarvo edition.
#include "tools/tarvo/commands.h"

#include <tarvox/config.h>
#include <tarvox/folders.h>

#include "paths/product_edition.h"

#include <windows.h>

namespace tarvo {

namespace {

// The folder list file in a configuration folder, with its named folders as the library
// hands them out (path variables expanded).
void AddFolderList(Section& product, const std::wstring& configFolder) {
    if (configFolder.empty()) return;
    std::wstring file = configFolder;
    if (file.back() != L'\\') file += L'\\';
    file += L"Ordner.ini";
    const bool exists = GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    product.Add("folder_list", Value::Maybe(exists ? Utf8(file) : ""));
    if (!exists) return;
    CCfgReader reader(file.c_str());
    std::vector<std::wstring> names, values;
    reader.GetSectionEntries(names, values, L"Ordner", 0, 0);
    Section& list = product.Child("Folder list", "named_folders");
    Table rows{"named_folders", {"name", "folder"}, {}, {}};
    for (std::size_t i = 0; i < names.size(); ++i) {
        rows.rows.push_back(
            {Value::Text(Utf8(names[i])), Value::Maybe(Utf8(i < values.size() ? values[i] : L""))});
    }
    list.tables.push_back(std::move(rows));
}

}  // namespace

Section& AddFoldersSection(Document& document) {
    Section& folders = document.Add("Product folders", "folders");
    wchar_t buffer[260];
    Section& ardent = folders.Child("Tarvo Ardent 2020", "ardent");
    ardent.Add("installation", Value::Maybe(Utf8(GetCentralAppDir(buffer))));
    ardent.Add("per_user", Value::Maybe(Utf8(GetLocalAppDir(buffer))), "per-user");
    const std::wstring ardentConfig = GetLocalConfigDir(buffer);
    ardent.Add("configuration", Value::Maybe(Utf8(ardentConfig)));
    AddFolderList(ardent, ardentConfig);
    Section& veska = folders.Child("Tarvo Veska 2020", "veska");
    veska.Add("installation", Value::Maybe(Utf8(GetCentralRAppDir(buffer, 2020))));
    veska.Add("per_user", Value::Maybe(Utf8(GetLocalRAppDir(buffer))), "per-user");
    const std::wstring veskaConfig = GetLocalRConfigDir(buffer);
    veska.Add("configuration", Value::Maybe(Utf8(veskaConfig)));
    AddFolderList(veska, veskaConfig);
    return folders;
}

Section& AddEditionSection(Document& document, bool& known) {
    Section& edition = document.Add("Edition", "edition");
    int code = 0;
    std::wstring name;
    known = GetProductEdition(&code, name) == 1;
    int flags = 0;
    const int luminor = IsLuminorEdition(&flags);
    edition.Add("code", Value::Number(code));
    edition.Add("name", Value::Maybe(Utf8(name)));
    edition.Add("luminor", Value::Bool(luminor == 1));
    edition.Add("product_flags", Value::Number(flags));
    return edition;
}

void AddFolderCommands(CLI::App& app, Outcome& outcome) {
    CLI::App* folders = app.add_subcommand(
        "folders", "Installation, per-user and configuration folders of the products");
    folders->add_flag("--json", outcome.json, "Print JSON");
    folders->callback([&outcome] {
        const Section& section = AddFoldersSection(outcome.document);
        bool any = false;
        for (const Section& product : section.children) {
            for (const Field& field : product.fields) any = any || !field.value.json.is_null();
        }
        outcome.status = any ? kSuccess : kNotFound;
    });

    CLI::App* edition = app.add_subcommand("edition", "The running edition of the main product");
    edition->add_flag("--json", outcome.json, "Print JSON");
    edition->callback([&outcome] {
        bool known = false;
        AddEditionSection(outcome.document, known);
        outcome.status = known ? kSuccess : kNotFound;
    });
}

}  // namespace tarvo
