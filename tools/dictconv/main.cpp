// kmtool: converts word lists to Lexorin dictionaries (.KM) and back.
#include "kmtool.h"
#include "platform.h"

#include <iostream>

int main(int argc, char** argv)
{
    kmtool::PrepareConsole();
    return kmtool::Run(kmtool::Utf8Arguments(argc, argv), std::cout, std::cerr);
}
