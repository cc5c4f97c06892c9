// Dialogs on a background picture that fits every display scale.
//
// CScaledBackground is a button control that covers a dialog and shows its background
// picture. The picture is taken from the program's raw-data (RCDATA) resources, in the
// variant drawn for the display scale ("NAME_100", "_125", "_150", "_200") or stretched from
// the nearest one, and the dialog's controls are moved to positions recorded once at 100 %.
// The drawing helpers beside it copy and stretch bitmaps, fill them with a colour and render
// text into them. Failures are silent: pictures stay empty or unscaled, controls stay put.
#pragma once

#include <tarvox/export.h>

#include <windows.h>

#include <string>
#include <vector>

// Owns at most one GDI bitmap and deletes it when destroyed, replaced or deleted explicitly.
class TARVOX_API CGdiBitmap {
public:
    CGdiBitmap() = default;
    explicit CGdiBitmap(HBITMAP bitmap) : m_hBitmap(bitmap) {}
    ~CGdiBitmap();
    CGdiBitmap(const CGdiBitmap&) = delete;
    CGdiBitmap& operator=(const CGdiBitmap&) = delete;
    CGdiBitmap(CGdiBitmap&& other) noexcept;
    CGdiBitmap& operator=(CGdiBitmap&& other) noexcept;

    // Takes ownership of a bitmap (deleting the one held before).
    void Attach(HBITMAP bitmap) noexcept;
    // Gives up ownership without deleting.
    HBITMAP Detach() noexcept;
    void Delete() noexcept;

    HBITMAP Get() const { return m_hBitmap; }
    operator HBITMAP() const { return m_hBitmap; }
    bool IsEmpty() const { return m_hBitmap == nullptr; }
    // Width and height in pixels; 0 x 0 when empty.
    SIZE GetSize() const;

private:
    HBITMAP m_hBitmap = nullptr;
};

// The display scale: the desktop's horizontal pixels per logical inch over 96, 1.0 when no
// device context is available. Computed on first use and kept for the process.
TARVOX_API double GetDpiScale();

// Loads the picture resource "name" of the program in the variant for the scale and
// stretches it where no variant drawn for that scale exists:
//   1.0:  name_100, name (unscaled), name_200 (x 0.5)
//   1.25: name_125, name_200 (x 0.625), name (x 1.25)
//   1.5:  name_150, name_200 (x 0.75), name (x 1.5)
//   2.0:  name_200, name (x 2)
//   s:    name_200 (x s/2), name (x s)
// The bitmap is emptied first. Returns 1 when a picture was loaded.
TARVOX_API int LoadScaledBitmap(const wchar_t* name, CGdiBitmap& bitmap, double scale);

// Writes a resource to a new file in the temporary folder (prefix "rc"). The type is a
// resource type name, or null or "RCDATA" for raw data. Returns 1 and the file's path, or 0
// and an empty path.
TARVOX_API int ExtractResourceToTempFile(HMODULE module, const wchar_t* name, std::wstring& path,
                                         const wchar_t* type);

// Copies a resource's bytes into the buffer and reports their count. Returns the buffer's
// data, or null (and size 0) when the name is empty or the resource is missing.
TARVOX_API const BYTE* LoadResourceData(HMODULE module, const wchar_t* name,
                                        std::vector<BYTE>& buffer, DWORD& size,
                                        const wchar_t* type);

// Loads an image file (any format GDI+ reads: PNG, BMP, JPEG, GIF, ...) into the bitmap,
// which is emptied first. Returns 1 on success.
TARVOX_API int LoadBitmapFromFile(const wchar_t* path, CGdiBitmap& bitmap);

// Stretches the bitmap by a factor (sizes truncated, stretched onto white). A factor of 1.0
// or not above 0 leaves it as it is. Returns 1 when the bitmap was valid.
TARVOX_API int ScaleBitmap(CGdiBitmap& bitmap, double factor);

// Replaces the bitmap by one compatible with the screen, of the size, filled with the colour.
TARVOX_API int CreateFilledBitmap(COLORREF colour, CGdiBitmap& bitmap, int width, int height);

// Draws the source into the target, which is recreated (compatible with the screen) when it
// does not have the rectangle's size. stretch = 1 stretches the whole source onto the target
// (HALFTONE); otherwise the part of the source at the rectangle's top-left corner is copied
// 1:1. rasterOperation as for BitBlt. Returns 1 when the source was valid.
TARVOX_API int CopyBitmap(const CGdiBitmap& source, CGdiBitmap& target, const RECT& rectangle,
                          int stretch, DWORD rasterOperation);

// Renders text, split at LF and with tabs expanded to blanks, transparently in the text colour
// at x = margin from y = margin, each line 1.2 times the height of "XXXX" below the last.
// An empty bitmap is first created with the text's size plus the margin on each side and
// filled with the background colour; a given bitmap is drawn on as it is. Returns 1 when
// the text was drawn.
TARVOX_API int RenderTextBitmap(const wchar_t* text, COLORREF backgroundColour, COLORREF textColour,
                                const wchar_t* faceName, int fontHeight, int margin,
                                CGdiBitmap& bitmap);

// The background control of a dialog: a button whose face is the background picture.
class TARVOX_API CScaledBackground {
public:
    // Loads the active background "ID_BACKGROUND" for the display scale.
    CScaledBackground();
    virtual ~CScaledBackground();
    CScaledBackground(const CScaledBackground&) = delete;
    CScaledBackground& operator=(const CScaledBackground&) = delete;

    // Takes over the dialog's button with that id: it then shows the picture. dialogClassName
    // names the dialog's control-position record (resource, or "<name>.ctrlPos" beside the
    // program). Returns TRUE on success.
    BOOL SubclassDlgItem(UINT id, HWND dialog, const wchar_t* dialogClassName);
    // Gives the button its own face back (also done when the button or this object goes).
    void UnsubclassWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDialog() const { return m_hDialog; }
    const std::wstring& GetDialogClassName() const { return m_DialogClassName; }

    // The active background and the inactive one (loaded by LayoutDialogControls on request).
    CGdiBitmap& GetBitmap() { return m_Bitmap; }
    CGdiBitmap& GetInactiveBitmap() { return m_InactiveBitmap; }

    // Shows the inactive background (when loaded) instead of the active one.
    void ShowInactive(bool inactive);
    bool IsShowingInactive() const { return m_ShowInactive; }

    // For the dialog's WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: a brush of the background picture
    // aligned with the control, so that the control's background shows the picture beneath
    // it; its text is set to be drawn transparently. Null when no picture is loaded. The
    // brush belongs to this object.
    HBRUSH GetControlBrush(HDC dc, HWND control);

    // 1: the dialog is resized to fit the picture and the control to cover it.
    int m_FitToPicture = 1;

protected:
    // Paints the button's face.
    virtual void Paint(HDC dc);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);

    void DropBrushes() noexcept;

    CGdiBitmap m_Bitmap;
    CGdiBitmap m_InactiveBitmap;
    // Pattern brushes of the two pictures, made on first request.
    HBRUSH m_ActiveBrush = nullptr;
    HBRUSH m_InactiveBrush = nullptr;
    HBITMAP m_ActiveBrushSource = nullptr;
    HBITMAP m_InactiveBrushSource = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_hDialog = nullptr;
    std::wstring m_DialogClassName;
    bool m_ShowInactive = false;
};

// The background of a product's dialogs: the product's own picture instead of "ID_BACKGROUND".
class TARVOX_API CMyScaledBackground : public CScaledBackground {
public:
    // Loads the named picture for the display scale; when it is missing the default
    // background stays.
    explicit CMyScaledBackground(const wchar_t* pictureName);
};

// Called by a dialog once its controls exist: fits the dialog to the picture, moves its
// controls to their recorded positions at the display scale (recording them at 100 % when
// no record exists yet) and, with loadInactive = 1, loads "ID_BACKGROUND_INACTIVE".
TARVOX_API void LayoutDialogControls(CScaledBackground& background, int loadInactive);
