// CColorComboBox: a drop-down list of sixteen named colours, each drawn as a swatch
// followed by its name. Works attached to a dialog's combo box (owner-drawn fixed,
// has strings; usually sorted) and created in code.
#pragma once

#include "framework/controls.h"

#include <cstdint>

namespace lex {

class CColorComboBox : public CComboBox {
public:
    // Creates the box in code; the style gets owner-draw-fixed and has-strings added.
    BOOL Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // The selected entry's colour, or 0 (black) with nothing selected.
    uint32_t GetSelectedColor() const;
    // Selects the entry with this colour; with none the selection stays.
    void SelectColor(uint32_t color);
    // Adds the sixteen colours once. A list that runs out of space keeps what it took.
    void FillColorList();

    // Item height that fits the swatch and the name in the box's font.
    int ItemHeight() const;

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    virtual void DrawItem(const DRAWITEMSTRUCT& item);

private:
    BOOL m_filled = FALSE;
    BOOL m_creating = FALSE; // linked during creation: the list does not exist yet
};

} // namespace lex
