#pragma once

#include "app/filedialogs.h"
#include "position/conversions.h"
#include "position/positionchecks.h"
#include "position/positionfile.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class Catalogue;
struct DeviceSelection;
class PositionGrid;
class Prompter;
class QLabel;
struct AppState;

// The File commands of the position table (New, Open, Save, Save As), the
// question whether to save changes, asked on New and when the main window is
// about to close, and the model label that an opened file sets.
//
// The main window connects its menu entries, toolbar buttons and buttons to
// the slots, the two lock signals to its command groups, and asks
// closeRequest() before it closes.
class PositionFileCommands : public QObject
{
    Q_OBJECT
public:
    enum class SaveResult {
        Saved,
        NotSaved,   // a check failed or the file could not be written (the user was told)
        Cancelled,  // the user cancelled the file dialog
    };
    enum class CloseAnswer { Close, Stay };

    PositionFileCommands(AppState &state, Prompter &prompter, FileDialogs &dialogs, PositionGrid &grid,
                         Catalogue &catalogue, QObject *parent = nullptr);

    // The main window's model label (`lblDeviceType`): written when a file
    // names a model, read for the model text of a saved file.
    void setDeviceTypeLabel(QLabel *lblDeviceType);
    // The main window's file name label (`lblFileName`), kept on DocName.
    void setFileNameLabel(QLabel *lblFileName);

    // The current table's name without folder and extension; "New Data"
    // (message 483) or "Inside of C/T" (message 433) while it has no file.
    QString docName() const { return m_docName; }
    void setDocName(const QString &name);
    bool hasPlaceholderName() const;

    // The folder of the file last chosen in a file dialog: plain Save writes
    // DocName.ktd there. Other commands with a file dialog may set it too.
    QString lastDialogFolder() const { return m_lastDialogFolder; }
    void setLastDialogFolder(const QString &folder) { m_lastDialogFolder = folder; }

    // The user cancelled the dialog of the last Save As.
    bool saveAsCancelled() const { return m_saveAsCancelled; }

    // Asked before the main window closes. A close the user asks for from
    // the window's close box is refused while a controller command runs
    // (busy); the File menu's exit is not. Unchanged data: "Finish KT-ED?"
    // (OK / Cancel). Changed data: "Save in file?" (Yes / No / Cancel); Yes
    // saves, and the window stays open unless the file was written.
    CloseAnswer closeRequest(bool fromCloseBox, bool busy);

    SaveResult save();
    SaveResult saveAs();

    // The routines of the commands, for the commands of other windows
    // (verification, printing) that read a position file or set the label.
    int ReadPosiFile(const QString &path);
    bool SaveFileAs(const QString &path);
    bool DecodeFileModel();
    void ReflectFileInfo2PcSettings();
    void Disp_DevType2();

public slots:
    void fileNew();     // mnuFileNew, toolbar "New"
    void fileOpen();    // cmdFileOpen, mnuFileOpen, toolbar "Open"
    void fileSave();    // mnuFileSave, toolbar "Save"
    void fileSaveAs();  // mnuFileSaveAs, cmdSaveFile

signals:
    // True at the start of Open, Save and Save As: the command buttons,
    // toolbar and menus are to be disabled; false at their end, whatever
    // the outcome.
    void commandsLocked(bool locked);
    void docNameChanged(const QString &name);
    // The model label's new caption and whether the family picture
    // (`pictureSelectType`) and the old-type label (`lblOldType`) show.
    void deviceTypeShown(const QString &caption, bool familyPictureShown, bool oldTypeLabelShown);
    // The pulse scale of the model for status-bar panels 2 and 3.
    void pulseScaleChanged(const QString &perMm, const QString &perPulse);
    // The model's lead or pulses changed with an opened file, or a look-up
    // failed: the move program grid is to be shown afresh.
    void programGridRefreshRequested();

private:
    class CommandLock;

    bool runSaveChecks();
    FileDialogs::Request saveRequest(int titleId) const;
    // Asks whether to save changed data; true when the caller may go on
    // (saved, or the user answered No).
    bool changesSettled();
    QString modelCaption() const;
    QString finishQuestion() const;

    AppState &m_state;
    Prompter &m_prompter;
    FileDialogs &m_dialogs;
    PositionGrid &m_grid;
    Catalogue &m_catalogue;
    QPointer<QLabel> m_lblDeviceType;
    QPointer<QLabel> m_lblFileName;
    QString m_docName;
    QString m_lastDialogFolder;
    QString m_lastCaption;
    bool m_saveAsCancelled = false;
    // The model named by the file last read, once decoded and found in the
    // catalogue; nothing when its text was unusable.
    std::optional<DecodedFileModel> m_decoded;
};

// Takes a decoded model over as the PC's model (the selection, the model
// values, the type number and the largest position in mm); the lead and
// pulses are looked up afterwards.
void ReflectModel(AppState &state, DeviceSelection &selection, const DecodedFileModel &decoded);

// The file content of the table as shown: VEL, ACC and the comment from the
// cells, the pulses from PosiDataArray, the model text and its generation.
PositionFileContent TableFileContent(const PositionCells &cells, const PositionData &data, const QString &model,
                                     bool isNewType);
