// CBarImport: the bar's part that turns a learner's word list into a dictionary, from
// the menus' "导入词表...", the dictionary page and files dropped on the bar. It asks
// for the file (unless one was dropped), reads it, refuses an empty or binary file with
// a message, gathers what the program's dictionaries know for the filling, and runs the
// preview, which writes the dictionary. The import's result is made the dictionary in
// use from its first entry; the bar then reopens it.
#pragma once

#include "framework/wnd.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

class CBarImport {
public:
    // Lets owner take dropped files.
    void AcceptDrops(HWND owner);
    // The first file of a WM_DROPFILES (the drop is finished); empty for none.
    static std::string DroppedFile(HDROP drop);

    // Imports path, or with an empty path the file chosen in a file dialog. On success
    // "DictName" names the new dictionary and its position is 0; returns its name, or
    // empty when nothing was written.
    std::string Run(lex::CWnd& owner, const std::string& path, const std::string& programFolder,
                    const std::string& settingsPath, const std::string& caption);
};
