#pragma once

// The compilers we build with (GCC, Clang) provide a native 128-bit integer;
// __extension__ keeps -Wpedantic quiet about it.
__extension__ typedef unsigned __int128 uint128;
__extension__ typedef __int128 int128;
