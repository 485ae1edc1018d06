// The banner page's OK write under Windows (Wine): the same measurement as the native
// bench/banner_ok_bench.cpp, on the Windows file system calls.
#include "../banner_ok_bench.cpp"
