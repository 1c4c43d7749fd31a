#include "ui/desktopfiledialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

DesktopFileDialogs::DesktopFileDialogs(QWidget *window)
    : m_window(window)
{
}

QStringList DesktopFileDialogs::QtNameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString rawPatterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        if (description.isEmpty() && rawPatterns.isEmpty())
            continue;
        QStringList patterns;
        for (const QString &pattern : rawPatterns.split(u';', Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            if (p.isEmpty())
                continue;
            patterns.append(p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        out.append((description.isEmpty() ? patterns.join(u' ') : description)
                   + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return out;
}

std::optional<FileDialogs::Choice> DesktopFileDialogs::open(const Request &request)
{
    return run(request, false);
}

std::optional<FileDialogs::Choice> DesktopFileDialogs::save(const Request &request)
{
    return run(request, true);
}

std::optional<FileDialogs::Choice> DesktopFileDialogs::run(const Request &request, bool save)
{
    QWidget *parent = m_window ? m_window.data() : QApplication::activeWindow();
    QFileDialog dialog(parent, request.title);
    dialog.setObjectName(QStringLiteral("fileDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);
    // The pattern part is already in the table's descriptions.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    const QStringList filters = QtNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.defaultExtension);

    const QFileInfo initial(request.initialName);
    if (!request.initialName.isEmpty() && request.initialName.contains(u'/')) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    } else {
        if (!request.initialFolder.isEmpty())
            dialog.setDirectory(request.initialFolder);
        if (!request.initialName.isEmpty())
            dialog.selectFile(request.initialName);
    }

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    return Choice{path, QFileInfo(path).fileName()};
}
