#include "widgets/link_command.h"

#include <cstdio>

namespace lex {

std::wstring FallbackCommandLine(const std::wstring& registered, const std::wstring& target)
{
    std::wstring command = registered;
    // '"' and '%' are below any trail byte of code page 936, and these are UTF-16 units
    // anyway, so a plain search cannot hit half a character.
    size_t cut = command.find(L"\"%1\"");
    if (cut == std::wstring::npos)
        cut = command.find(L"%1");
    if (cut != std::wstring::npos)
        command.erase(cut);
    command += L' ';
    command += target;
    return command;
}

std::string LinkOpenErrorText(int code)
{
    const char* text = nullptr;
    switch (code) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case 2: text = "The specified file was not found."; break;
    case 3: text = "The specified path was not found."; break;
    case 5: text = "The operating system denied\naccess to the specified file."; break;
    case 8: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: text = "A sharing violation occurred. "; break;
    case 27: text = "The filename association is\nincomplete or invalid."; break;
    case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: text = "The DDE transaction failed."; break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case 31: text = "There is no application associated\nwith the given filename extension."; break;
    case 32: text = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    std::string message = "Unable to open hyperlink:\n\n";
    if (text) {
        message += text;
    } else {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "Unknown Error (%d) occurred.", code);
        message += buffer;
    }
    return message;
}

} // namespace lex
