// The sample sheets and pictures under docs/ (not a test): a full sheet as
// PDF in both languages, the print selection dialog and the print preview.
//   kted_printsample <docs folder>

#include "app/appoptions.h"
#include "app/appstate.h"
#include "app/settingsstore.h"
#include "catalogue/catalogue.h"
#include "link/controllerlink.h"
#include "link/frmtrance.h"
#include "position/conversions.h"
#include "position/positiondata.h"
#include "position/positiongrid.h"
#include "printing/frmprintselect.h"
#include "printing/printcommand.h"
#include "printing/printoutput.h"
#include "recordingsurface.h"
#include "scriptedprompter.h"
#include "testenv.h"
#include "text/stringtable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

namespace {

// The sheet as an A4 PDF file, and the preview of it as a picture.
class SampleOutput : public PrintOutput
{
public:
    Result print(const PrintDocument &doc) override
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(doc.title);
        if (!RenderPrintDocument(writer, doc))
            return Result::Failed;
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPrintPreviewWidget preview(&printer);
        QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                         [&doc](QPrinter *target) { RenderPrintDocument(*target, doc); });
        preview.resize(760, 1000);
        preview.show();
        preview.updatePreview();
        preview.fitToWidth();
        QApplication::processEvents();
        preview.grab().save(picture);
        return Result::Printed;
    }
    void pageSetup() override {}

    QString pdf;
    QString picture;
};

void Write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

} // namespace

int main(int argc, char *argv[])
{
    InitTestEnvironment();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: kted_printsample <docs folder>\n", stderr);
        return 2;
    }
    const QDir docs(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(docs.filePath(QStringLiteral("screenshots")));
    const QString parameters = QDir(TestScratchDir()).filePath(QStringLiteral("conveyor.pmt"));
    Write(parameters, "\"KT-E1\",\"Parameter\"\r\n20000,100,50,20,30,10,20,30,35,40,45,50,55,60,10,20,30,1,2,400,0,"
                      "\" 28L-100\",1,0\r\n");

    int failures = 0;
    for (const auto &[offset, tag] : {std::pair{0, "ja"}, std::pair{10000, "en"}}) {
        SetLangOffset(offset);
        AppState state;
        state.gLangOffset = static_cast<int16_t>(offset);
        Culc_MaxPulse(state);
        Culc_MaxMm(state);
        AppOptions options;
        options.mParaDetailShow = true;
        SettingsStore store(QDir(TestScratchDir()).filePath(QStringLiteral("sample.ini")));
        ScriptedPrompter prompter;
        ScriptedFileDialogs dialogs;
        Catalogue catalogue(state, prompter, SourceDataDir());
        ControllerLink link(state, store, prompter);
        frmTrance progress;
        RecordingSurface surface;
        PositionData data;
        PositionGrid grid;
        grid.attach(state, data);
        grid.Init_flgdData(true);
        const QStringList cells{"5", "2", "0.000", "Home side", "9", "3", "62.500", "ワーク受渡し", "7", "2", "100.000", "Stopper"};
        for (int r = 1; r <= 3; ++r) {
            grid.setCellText(r, PositionGrid::ColVel, cells[(r - 1) * 4]);
            grid.setCellText(r, PositionGrid::ColAcc, cells[(r - 1) * 4 + 1]);
            grid.setCellText(r, PositionGrid::ColMm, cells[(r - 1) * 4 + 2]);
            grid.setCellText(r, PositionGrid::ColComment, cells[(r - 1) * 4 + 3]);
        }
        SampleOutput output;
        output.pdf = docs.filePath(QStringLiteral("print-sample-%1.pdf").arg(QLatin1String(tag)));
        output.picture = docs.filePath(QStringLiteral("screenshots/print-preview-%1.png").arg(QLatin1String(tag)));
        PrintCommand command(PrintCommand::Context{state, options, data, grid, catalogue, link, progress, prompter,
                                                   dialogs, surface, output});
        command.setDeviceTypeText([] { return QStringLiteral("KT- 28L-100"); });
        PrintChoice choice;
        choice.cancelled = false;
        choice.positionsFromGrid = true;
        choice.parametersFromFile = true;
        choice.parameterFile = parameters;
        failures += command.PrintProc(choice);

        // The dialog as the user fills it: positions from the grid,
        // parameters from a file just chosen.
        frmPrintSelect dialog(prompter, dialogs);
        dialog.show();
        dialog.chkPrintPosi->click();
        dialog.chkPrintPara->click();
        dialog.optPrintPara[1]->click();
        dialogs.choose(parameters);
        dialog.cmdSelectParaFile->click();
        QApplication::processEvents();
        dialog.grab().save(docs.filePath(QStringLiteral("screenshots/print-select-%1.png").arg(QLatin1String(tag))));
    }
    return failures == 0 ? 0 : 1;
}
