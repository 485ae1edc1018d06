// The product name and version. The strings the program shows (string table), the
// version resource Explorer reads, and the names and texts of the packages the build
// makes (Lexorin-<version>-portable.zip, -setup.exe) are all made from these lines.
// Plain #defines only: the resource compiler, C++ and the packaging step read them.
#pragma once

#define LEX_PRODUCT_NAME        "Quillmere"
#define LEX_VERSION_MAJOR       4
#define LEX_VERSION_MINOR       1

#define LEX_VERSION_STR2(x)     #x
#define LEX_VERSION_STR(x)      LEX_VERSION_STR2(x)
// "4.1"
#define LEX_VERSION_TEXT        LEX_VERSION_STR(LEX_VERSION_MAJOR) "." LEX_VERSION_STR(LEX_VERSION_MINOR)
