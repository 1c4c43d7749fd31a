#pragma once

#include "parameters/parameterset.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class PositionTable;
class QPagedPaintDevice;
class QPainter;

// One printed sheet: the header, the position table and the parameter
// lines, as texts ready to be laid out. The print command fills it; the
// layout draws it on the printer, the preview or a PDF file alike.
struct PrintDocument
{
    struct PositionRow
    {
        QString no;
        QString vel;
        QString acc;
        QString mm;      // empty when the millimetres could not be worked out
        QString pulses;
        QString comment;
    };

    struct ParameterLine
    {
        QString label;
        QString value;
    };

    QString title;            // "KT-ED"
    QString fileCaption;      // "File Name:" + file name; empty unless positions come from a file
    QDateTime printedAt;

    bool hasPositions = false;
    QString modelLine;        // "Type of KT : KT- 28L-100(New)"
    QString positionHeading;
    std::array<QString, 6> columnHeads;
    std::array<PositionRow, 3> rows;

    bool hasParameters = false;
    QString parameterHeading;
    QString parameterFileLine; // "File Name:" + title; empty when read from the controller
    QList<ParameterLine> parameterLines;
};

// "Type of KT : " + model text, and "File Name:" + file name.
QString ModelLine(const QString &model);
QString FileCaption(const QString &fileName);

// The header texts and the position table's column heads in the language
// of this run.
void SetDocumentHeadings(PrintDocument &doc);

// The rows of a position table: speed, acceleration, pulses and comment as
// held. The millimetres are worked out from the pulses with the lead and
// pulses per revolution given; without them the column stays empty.
struct LeadAndPulses
{
    int lead = 0;
    int ppr = 0;
};
std::array<PrintDocument::PositionRow, 3> PositionRows(const PositionTable &table,
                                                       const std::optional<LeadAndPulses> &scale);

// The parameter lines for the values read: parameters 1 to 22, and 23 and
// 24 when details is set. A parameter the source did not hold is marked as
// absent, never shown as a value.
QList<PrintDocument::ParameterLine> ParameterLines(const ParaArray &values, bool details);

// Draws the document on one page of the device. False when the device
// cannot be painted on (a printer that refuses the job, a PDF file that
// cannot be created).
bool RenderPrintDocument(QPagedPaintDevice &device, const PrintDocument &doc);

// The font printed texts use, in both languages: the Japanese font the
// program installs for Japanese text (comments may be Japanese in either).
QFont PrintFont(double pointSize, bool bold = false, bool italic = false);
