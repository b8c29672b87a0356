#pragma once

// A fuzz target's check: a rule broken stops the run where the fuzzer sees it, in every build.
inline void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}
