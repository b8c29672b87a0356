#pragma once

// libsodium is set up on the first use of a sealed file or key file, never at the start of a
// plain diary.
class Sodium
{
public:
    // Throws DiaryError when the library cannot start (no source of randomness).
    static void ready();
};
