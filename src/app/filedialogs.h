#pragma once

#include <QString>

#include <optional>

// Every file dialog of the program goes through one FileDialogs service.
class FileDialogs
{
public:
    struct Request
    {
        QString title;
        QString filter;            // "Text(*.x)|*.x|All(*.*)|*.*" as in the string table
        QString defaultExtension;  // without the dot, added when the name has none
        QString initialName;       // a file name, or a full path
        QString initialFolder;     // where the dialog starts when initialName has no folder
        bool mustExist = false;    // open: the chosen file must exist
        bool confirmOverwrite = false; // save: ask before replacing a file
    };

    struct Choice
    {
        QString path;   // full path
        QString title;  // file name without folder
    };

    virtual ~FileDialogs() = default;

    // Nothing when the user cancelled.
    virtual std::optional<Choice> open(const Request &request) = 0;
    virtual std::optional<Choice> save(const Request &request) = 0;
};
