// File access of configuration files: opening with the busy-file retry and replacing a file's
// content, whole where the system allows it.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <string>

namespace tarvox {

// The library's readers and writers of one file, in every process of the session, take turns
// through a named mutex: a file cannot be replaced while a reader has it open (a rename over
// an open file fails), and readers in a tight loop would otherwise keep a writer out for good.
// Readers hold it while they open and read, writers while they replace. A mutex that cannot be
// had within the timeout is done without; the busy-file retries still apply.
class FileTurn {
public:
    FileTurn(const std::wstring& path, long long timeout);
    ~FileTurn();
    FileTurn(const FileTurn&) = delete;
    FileTurn& operator=(const FileTurn&) = delete;

private:
    KernelHandle m_mutex;
    bool m_held = false;
};

// True when path names an existing file (not a folder).
bool IsExistingFile(const std::wstring& path);

// Opens an existing file for reading with shared read and write access. While that fails and
// the file still exists, tries again (after 1 ms, then ever longer pauses up to 100 ms) until
// timeout milliseconds have passed.
FileHandle OpenForReadingWithRetry(const std::wstring& path, long long timeout);

// The bytes of a file, opened as OpenForReadingWithRetry opens it while holding the file's
// turn; false when it cannot be opened or read (or is 2 GB or larger).
bool ReadFileBytes(const std::wstring& path, long long timeout, std::string& bytes);

// Replaces the content of path with bytes. Where the system allows it the file is replaced
// whole: the bytes go to a temporary file in the same folder (named "<file name>.tarvox-<pid>-
// <number>.tmp", so that leftovers of a killed save can be told for the library's own), which
// is then moved over the target; a save killed at any point leaves the old or the new content.
// The temporary files that saves of the same file left behind when their process ended inside
// them are removed first; those of processes still running are left alone.
// Where the move is refused (the target is held open by a program that does not share delete
// access, or no temporary file can be had), the target is written in place, opened for writing
// with shared read and write access as every writer of configuration files opens it: the room
// for the new content is taken first, beyond the old end, so that a full disk is found before
// the old content is touched.
// The target is busy while it cannot be opened for writing that way (or has the read-only
// attribute); then the attempt is repeated with the same pauses until timeout milliseconds
// have passed, taking the file's turn for each attempt. On failure the target keeps its old
// content.
bool ReplaceFileContent(const std::wstring& path, const std::string& bytes, long long timeout);

}  // namespace tarvox
