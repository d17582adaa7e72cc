#include "dialog_template.h"

#include <cstdint>

namespace {

class Reader {
public:
    Reader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    WORD Word() { return static_cast<WORD>(Read(2)); }
    DWORD Dword() { return static_cast<DWORD>(Read(4)); }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return static_cast<BYTE>(Read(1)); }
    void AlignToDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    std::string Text()
    {
        std::string text;
        for (WORD c = Word(); ok_ && c != 0; c = Word())
            text += c < 0x80 ? static_cast<char>(c) : '?';
        return text;
    }
    // A name or a 16-bit ordinal, which comes back as "#N" or a predefined class name.
    std::string NameOrOrdinal(bool isClass)
    {
        const WORD first = Word();
        if (first == 0)
            return "";
        if (first == 0xFFFF) {
            const WORD ordinal = Word();
            if (isClass) {
                static const char* const names[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
                if (ordinal >= 0x80 && ordinal <= 0x85)
                    return names[ordinal - 0x80];
            }
            return "#" + std::to_string(ordinal);
        }
        offset_ -= 2;
        return Text();
    }

private:
    uint32_t Read(size_t bytes)
    {
        if (offset_ + bytes > size_) {
            ok_ = false;
            return 0;
        }
        uint32_t value = 0;
        for (size_t i = 0; i < bytes; ++i)
            value |= static_cast<uint32_t>(data_[offset_ + i]) << (8 * i);
        offset_ += bytes;
        return value;
    }
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

void ReadPlacement(Reader& in, int& x, int& y, int& cx, int& cy)
{
    x = in.Short();
    y = in.Short();
    cx = in.Short();
    cy = in.Short();
}

}  // namespace

bool ReadDialogTemplate(HMODULE module, int id, DialogTemplate& out)
{
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (resource == nullptr)
        return false;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    Reader in(data, SizeofResource(module, resource));
    int count;
    out.extended = data[2] == 0xFF && data[3] == 0xFF;
    if (out.extended) {
        in.Word();   // version
        in.Word();   // signature
        in.Dword();  // help id
        out.exStyle = in.Dword();
        out.style = in.Dword();
    } else {
        out.style = in.Dword();
        out.exStyle = in.Dword();
    }
    count = in.Word();
    ReadPlacement(in, out.x, out.y, out.cx, out.cy);
    out.menu = in.NameOrOrdinal(false);
    out.windowClass = in.NameOrOrdinal(false);
    out.caption = in.Text();
    if (out.style & (DS_SETFONT | DS_SHELLFONT)) {
        out.pointSize = in.Word();
        if (out.extended) {
            out.weight = in.Word();
            out.italic = in.Byte();
            out.charset = in.Byte();
        }
        out.font = in.Text();
    }
    for (int i = 0; i < count && in.ok(); ++i) {
        DialogControl control;
        in.AlignToDword();
        if (out.extended) {
            in.Dword();  // help id
            control.exStyle = in.Dword();
            control.style = in.Dword();
            ReadPlacement(in, control.x, control.y, control.cx, control.cy);
            control.id = static_cast<int>(in.Dword());
        } else {
            control.style = in.Dword();
            control.exStyle = in.Dword();
            ReadPlacement(in, control.x, control.y, control.cx, control.cy);
            control.id = static_cast<short>(in.Word());
        }
        control.className = in.NameOrOrdinal(true);
        control.text = in.NameOrOrdinal(false);
        const WORD extra = in.Word();
        for (WORD b = 0; b < extra; ++b)
            in.Byte();
        out.controls.push_back(control);
    }
    return in.ok();
}
