// Lexorin.exe's entry point.
#include "app/lexorin_app.h"

#include <windows.h>

static CLexorinApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    return lex::AfxWinMain(instance);
}
