#pragma once

#include "app/filedialogs.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// The FileDialogs of the desktop program: Qt's open and save dialogs.
class DesktopFileDialogs : public FileDialogs
{
public:
    explicit DesktopFileDialogs(QWidget *window = nullptr);

    void setWindow(QWidget *window) { m_window = window; }

    std::optional<Choice> open(const Request &request) override;
    std::optional<Choice> save(const Request &request) override;

    // The string table writes filters as "Name(*.x)|*.x|All(*.*)|*.*":
    // description and pattern alternate, patterns are separated by ";".
    // Returns Qt's name filters, one per pair, as "Name(*.x) (*.x)"; the
    // catch-all "*.*" becomes "*" so that names without a dot are listed.
    static QStringList QtNameFilters(const QString &filter);

private:
    std::optional<Choice> run(const Request &request, bool save);

    QPointer<QWidget> m_window;
};
