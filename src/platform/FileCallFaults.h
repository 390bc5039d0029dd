#pragma once

// Failures that some file systems and programs give the system calls
// behind ResultWriter and ReplacingFile, made on demand by tests: each
// field is the error the call then gives instead of doing its work, 0 for
// the call itself (always, in the programs).
struct FileCallFaults {
    // Linux: renameat2 with RENAME_NOREPLACE (EINVAL, as on NFS and FUSE).
    int renameNoReplace = 0;
    // Windows: ReplaceFileW, with what it leaves behind for that error
    // (1175 to 1177, as when another program holds the original).
    unsigned long replaceFile = 0;
};

FileCallFaults& fileCallFaults();
