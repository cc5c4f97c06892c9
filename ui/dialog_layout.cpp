// Fitting a dialog to its background picture and placing its controls for the display scale.
#include "ui/dialog_layout.h"

#include "foundation/own_module.h"
#include "foundation/unique_handle.h"
#include "ui/layout_math.h"
#include "ui/resource_lookup.h"
#include "foundation/boundary.h"

#include <algorithm>
#include <optional>
#include <new>
#include <vector>

namespace tarvox::ui {
namespace {

struct ChildList {
    HWND skip;
    std::vector<HWND> windows;
    bool complete;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
    auto* list = reinterpret_cast<ChildList*>(data);
    // Nothing may unwind through the system's enumeration: a failure ends it and is raised
    // again once the enumeration has returned.
    list->complete = tarvox::Contain(false, [&] {
        if (window != list->skip) list->windows.push_back(window);
        return true;
    });
    return list->complete ? TRUE : FALSE;
}

// Every descendant of the dialog in the order EnumChildWindows reports them, without the
// background control.
std::vector<HWND> ControlsInOrder(HWND dialog, HWND background) {
    ChildList list{background, {}, true};
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&list));
    if (!list.complete) throw std::bad_alloc();
    return list.windows;
}

// A window's rectangle in the dialog's client coordinates.
RECT RectangleInDialog(HWND dialog, HWND window) {
    RECT rectangle{};
    GetWindowRect(window, &rectangle);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rectangle), 2);
    return rectangle;
}

std::string ReadWholeFile(const std::wstring& path, bool& exists) {
    exists = false;
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        exists = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return {};
    }
    exists = true;
    std::string bytes;
    LARGE_INTEGER size{};
    // A position file is small; anything beyond a few megabytes cannot be one.
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < (1 << 22)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
        bytes.resize(read);
    }
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    file.Reset();
    // A half-written record would be read later as a layout: leave none behind.
    if (!ok || written != bytes.size()) DeleteFileW(path.c_str());
}

}  // namespace

std::wstring PositionFilePath(const std::wstring& dialogClassName) {
    const std::wstring program = tarvox::ProgramPath();
    if (program.empty()) return {};
    const std::size_t slash = program.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1);
    return folder + dialogClassName + L".ctrlPos";
}

void LayoutDialogControlsAtScale(CScaledBackground& background, int loadInactive, double scale) {
    HWND dialog = background.GetDialog();
    HWND control = background.GetSafeHwnd();
    if (dialog == nullptr || control == nullptr) return;
    const std::wstring& className = background.GetDialogClassName();

    const SIZE pictureSize = background.GetBitmap().GetSize();
    const Size picture{pictureSize.cx, pictureSize.cy};
    RECT windowRect{}, clientRect{};
    GetWindowRect(dialog, &windowRect);
    GetClientRect(dialog, &clientRect);
    const Size window{windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    const Size client{clientRect.right, clientRect.bottom};
    Size reference = client;

    std::optional<PositionRecord> record;
    bool fromResource = false;
    if (!className.empty()) {
        const std::string_view bytes =
            FindResourceBytes(GetModuleHandleW(nullptr), className.c_str(), nullptr);
        if (bytes.data() != nullptr) {
            record = DecodePositionRecord(bytes);
            fromResource = record.has_value();
        }
    }

    // Without a picture and a record there is nothing to fit the dialog to.
    const bool canFit = record.has_value() || (picture.width > 0 && picture.height > 0);
    if (background.m_FitToPicture == 1 && canFit) {
        const Size target = TargetClientSize(picture, record ? &*record : nullptr, scale);
        const Size grown = GrownWindowSize(window, client, target);
        SetWindowPos(dialog, nullptr, 0, 0, grown.width, grown.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (scale == 1.0 && !record) reference = target;
    }

    const std::vector<HWND> controls = ControlsInOrder(dialog, control);

    if (!fromResource && !className.empty()) {
        const std::wstring path = PositionFilePath(className);
        bool exists = false;
        const std::string bytes = path.empty() ? std::string() : ReadWholeFile(path, exists);
        if (exists && scale != 1.0) {
            record = DecodePositionFile(bytes, controls.size());
        } else if (!exists && scale == 1.0 && !path.empty()) {
            PositionRecord made;
            made.referenceWidth = reference.width;
            made.referenceHeight = reference.height;
            for (HWND child : controls) {
                const RECT r = RectangleInDialog(dialog, child);
                made.controls.push_back(
                    {EdgeMean(r.left, r.right), EdgeMean(r.top, r.bottom), r.right - r.left});
            }
            WriteWholeFile(path, EncodePositionRecord(made));
        }
    }

    if (scale != 1.0 && record) {
        const std::size_t count = std::min(controls.size(), record->controls.size());
        for (std::size_t i = 0; i < count; ++i) {
            HWND child = controls[i];
            const RECT current = RectangleInDialog(dialog, child);
            const Placement placement =
                PlaceRecordedControl(record->controls[i], scale, current.bottom - current.top);
            // A control inside another one is positioned in its parent's client coordinates.
            POINT origin{placement.x, placement.y};
            HWND parent = GetParent(child);
            if (parent != nullptr && parent != dialog) MapWindowPoints(dialog, parent, &origin, 1);
            SetWindowPos(child, nullptr, origin.x, origin.y, placement.width,
                         current.bottom - current.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    if (background.m_FitToPicture == 1 && picture.width > 0 && picture.height > 0) {
        SetWindowPos(control, nullptr, 0, 0, picture.width, picture.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    if (loadInactive == 1)
        LoadScaledBitmap(L"ID_BACKGROUND_INACTIVE", background.GetInactiveBitmap(), scale);
}

}  // namespace tarvox::ui

void LayoutDialogControls(CScaledBackground& background, int loadInactive) {
    tarvox::GuardVoid(
        [&] { tarvox::ui::LayoutDialogControlsAtScale(background, loadInactive, GetDpiScale()); });
}
