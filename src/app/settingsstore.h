#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The per-user settings store: section "Settings" of the area named after
// the application. Every read has a default; a missing store or key is not
// an error. Numbers are written as decimal text.
class SettingsStore
{
public:
    // The user's own store: the registry on Windows, ~/.config/KT-ED/KT-ED.conf
    // on Linux.
    SettingsStore();
    // A store in an explicit file, for tools and tests.
    explicit SettingsStore(const QString &iniPath);

    // The leading number of the stored text; the default when the key is
    // missing. Text without a leading number reads as 0, as the controller
    // tools always have.
    int readInt(const QString &key, int defaultValue) const;
    QString readText(const QString &key, const QString &defaultValue) const;
    bool contains(const QString &key) const;

    void writeInt(const QString &key, int value);
    void writeText(const QString &key, const QString &value);

    // Where the store keeps its values (a file path, or a registry key on
    // Windows), for the system information a support engineer asks for.
    QString location() const;

    // Pushes pending writes to disk; false when the store cannot be written.
    bool sync();

private:
    QString path(const QString &key) const;
    std::unique_ptr<QSettings> m_settings;
};

// The keys of the store, spelled as they are stored ("Languege" included).
namespace SettingsKey {
inline const QString Language = QStringLiteral("Languege");
inline const QString PortOccupy = QStringLiteral("PortOccupy");
inline const QString PulsePos = QStringLiteral("PLSPos");
inline const QString MmRoundUp = QStringLiteral("MmRoundUp");
inline const QString PortNo = QStringLiteral("PortNo");
inline const QString Device = QStringLiteral("Device");
inline const QString NewType = QStringLiteral("NewType");
inline const QString DevSize = QStringLiteral("DevSize");
inline const QString DevSpeed = QStringLiteral("DevSpeed");
inline const QString DevStroke = QStringLiteral("DevStroke");
inline const QString DevLead = QStringLiteral("DevLead");
inline const QString DevPPR = QStringLiteral("DevPPR");
inline const QString Vertical = QStringLiteral("Vertical");
// 1: the communication log is also written to a file in the user's data
// folder (off by default).
inline const QString CommLogToFile = QStringLiteral("CommLogFile");
} // namespace SettingsKey
