#pragma once

// How a command that works with files and the controller ended, for the
// callers that act on it without a window (the command-line tool's exit
// code). The user has been told in every case but Done and Same.
enum class CommandOutcome {
    Done,        // carried out; a verification found both sides equal
    Differs,     // a verification found differences
    Refused,     // a check refused it, or a question was answered No or Cancel
    LinkFailed,  // the controller did not answer as it must
    FileError,   // a file could not be read or written, or is not the right kind
};
