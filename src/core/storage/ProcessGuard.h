#pragma once

// A process that may hold a passphrase, or a key made from one, keeps it to itself: other
// processes of the user may not read its memory (ptrace, /proc/PID/mem), and a crash writes no
// core file with the secret in it. Done before the first passphrase is read: once read, it may
// linger in freed memory whatever is cleared afterwards. It lasts as long as the process.
class ProcessGuard
{
public:
    static void harden();
};
