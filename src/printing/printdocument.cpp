#include "printing/printdocument.h"

#include "app/appstate.h"
#include "position/conversions.h"
#include "position/positiontable.h"
#include "text/stringtable.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

constexpr int kTitle = 201;
constexpr int kFileName = 203;
constexpr int kTypeOfKt = 21;
constexpr int kPositionHeading = 486;
constexpr int kParameterHeading = 487;
constexpr std::array<int, 6> kColumnHeads{12, 13, 14, 17, 16, 18};
constexpr int kPushing = 199;
constexpr int kSensor = 200;
constexpr int kTypeLabel = 178;
constexpr int kKtNew = 146;
constexpr int kKtOld = 147;
constexpr int kRw = 134;
constexpr int kReset = 195;
constexpr int kHold = 194;
constexpr int kLogicB = 192;
constexpr int kLogicA = 191;
constexpr int kAbsent = 1000;

// A value the source held as a whole number and that names one of the
// texts given (index = value); anything else prints as it stands.
QString ChoiceText(const ParaValue &value, std::initializer_list<int> ids)
{
    double number = 0;
    if (value.isNumber() && value.toNumber(number) && number >= 0 && number < static_cast<double>(ids.size())
        && number == std::floor(number))
        return LoadText(*(ids.begin() + static_cast<int>(number)));
    return value.toText();
}

QString ValueText(int n, const ParaValue &value)
{
    if (value.isEmpty() || (value.isText() && value.toText().trimmed().isEmpty()))
        return LoadText(kAbsent);
    switch (n) {
    case 18: {
        double number = 0;
        if (!value.toNumber(number))
            return value.toText();
        return LoadText(number == 0 ? kPushing : kSensor);
    }
    case 21:
        return ChoiceText(value, {kKtNew, kKtOld, kRw});
    case 22:
        return value.toText().trimmed();
    case 23:
        return ChoiceText(value, {kReset, kHold});
    case 24:
        return ChoiceText(value, {kLogicB, kLogicA});
    default:
        return value.toText();
    }
}

// The gap between a line's baseline and a rule under it, in millimetres;
// the table's rows are this much taller than a line.
constexpr double kRuleGapMm = 1.5;
constexpr double kTableRowLines = 1.5;

// Millimetres on the page, in device pixels.
class PageUnits
{
public:
    explicit PageUnits(const QPagedPaintDevice &device)
        : m_perMm(device.widthMM() > 0 ? device.width() / static_cast<double>(device.widthMM()) : 1.0)
    {
    }
    double operator()(double mm) const { return mm * m_perMm; }
    double toMm(double pixels) const { return pixels / m_perMm; }

private:
    double m_perMm;
};

// Draws the sheet top to bottom, one line at a time.
class SheetPainter
{
public:
    SheetPainter(QPainter &painter, const QPagedPaintDevice &device, double bodyPoints)
        : m_p(painter)
        , m_mm(device)
        , m_right(device.width() - m_mm(10))
        , m_bodyPoints(bodyPoints)
    {
        m_p.setFont(PrintFont(bodyPoints));
        // One text height is the printed height of "A" in whole millimetres;
        // lines follow each other one millimetre apart.
        const double heightMm = std::max(1.0, std::round(m_mm.toMm(QFontMetricsF(m_p.font(), &device)
                                                                      .tightBoundingRect(QStringLiteral("A"))
                                                                      .height())));
        m_textHeight = m_mm(heightMm);
        m_pitch = m_mm(heightMm + 1);
        m_y = m_textHeight;
    }

    double left() const { return m_mm(10); }
    double right() const { return m_right; }
    double mm(double value) const { return m_mm(value); }
    double pitch() const { return m_pitch; }

    // Text whose baseline sits on the current line.
    void text(double x, const QString &s, const QFont &font)
    {
        m_p.setFont(font);
        m_p.drawText(QPointF(x, m_y), s);
    }
    void text(double x, const QString &s) { text(x, s, PrintFont(m_bodyPoints)); }
    void textEndingAt(double xRight, const QString &s, const QFont &font)
    {
        m_p.setFont(font);
        m_p.drawText(QPointF(xRight - QFontMetricsF(font, m_p.device()).horizontalAdvance(s), m_y), s);
    }
    void newLine(double lines = 1) { m_y += m_pitch * lines; }
    // A rule just below the current line's descenders; the next line's
    // text starts a millimetre below it.
    void rule()
    {
        const double y = m_y + m_mm(kRuleGapMm);
        m_p.drawLine(QPointF(left(), y), QPointF(m_right, y));
        m_y = y + m_pitch;
    }
    double y() const { return m_y; }
    void setY(double y) { m_y = y; }
    double textHeight() const { return m_textHeight; }
    QPainter &painter() { return m_p; }
    double bodyPoints() const { return m_bodyPoints; }

private:
    QPainter &m_p;
    PageUnits m_mm;
    double m_right;
    double m_bodyPoints;
    double m_textHeight = 0;
    double m_pitch = 0;
    double m_y = 0;
};

void PaintHeader(SheetPainter &sheet, const PrintDocument &doc)
{
    sheet.text(sheet.left(), doc.title, PrintFont(14, true, true));
    if (!doc.fileCaption.isEmpty())
        sheet.text(sheet.mm(80), doc.fileCaption, PrintFont(11));
    const QString when = doc.printedAt.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("  ")
                         + doc.printedAt.toString(QStringLiteral("HH:mm:ss"));
    sheet.textEndingAt(sheet.right(), when, PrintFont(sheet.bodyPoints()));
    sheet.rule();
}

void PaintPositions(SheetPainter &sheet, const PrintDocument &doc)
{
    sheet.newLine();
    sheet.text(sheet.left(), doc.modelLine);
    sheet.newLine(1.5);
    sheet.text(sheet.left(), doc.positionHeading, PrintFont(sheet.bodyPoints(), true));

    // Column widths in millimetres; the comment takes what is left.
    const std::array<double, 5> widths{14, 16, 16, 30, 32};
    std::array<double, 7> x{};
    x[0] = sheet.left();
    for (size_t c = 0; c < widths.size(); ++c)
        x[c + 1] = x[c] + sheet.mm(widths[c]);
    x[6] = sheet.right();

    // Rows a line and a half high, the text centred between the rules.
    QPainter &p = sheet.painter();
    const double top = sheet.y() + sheet.mm(kRuleGapMm);
    const double rowHeight = sheet.pitch() * kTableRowLines;
    const double pad = sheet.mm(2);
    std::array<std::array<QString, 6>, 4> cells{doc.columnHeads};
    for (size_t r = 0; r < doc.rows.size(); ++r) {
        const PrintDocument::PositionRow &row = doc.rows.at(r);
        cells.at(r + 1) = {row.no, row.vel, row.acc, row.mm, row.pulses, row.comment};
    }
    for (size_t r = 0; r < cells.size(); ++r) {
        sheet.setY(top + static_cast<double>(r) * rowHeight + (rowHeight + sheet.textHeight()) / 2);
        for (size_t c = 0; c < cells[r].size(); ++c) {
            const QFont font = PrintFont(sheet.bodyPoints());
            // A text wider than its column is cut short with an ellipsis
            // rather than run into the next column or off the page.
            const QString text = QFontMetricsF(font, p.device())
                                     .elidedText(cells[r][c], Qt::ElideRight, x[c + 1] - x[c] - 2 * pad);
            if (r > 0 && c >= 1 && c <= 4)  // numbers end at the column's right edge
                sheet.textEndingAt(x[c + 1] - pad, text, font);
            else
                sheet.text(x[c] + pad, text, font);
        }
    }
    const double bottom = top + static_cast<double>(cells.size()) * rowHeight;
    for (size_t line = 0; line <= cells.size(); ++line) {
        const double y = top + static_cast<double>(line) * rowHeight;
        p.drawLine(QPointF(x[0], y), QPointF(x[6], y));
    }
    for (double xc : x)
        p.drawLine(QPointF(xc, top), QPointF(xc, bottom));
    sheet.setY(bottom + sheet.pitch());
}

void PaintParameters(SheetPainter &sheet, const PrintDocument &doc)
{
    sheet.newLine();
    sheet.text(sheet.left(), doc.parameterHeading, PrintFont(sheet.bodyPoints(), true));
    if (!doc.parameterFileLine.isEmpty())
        sheet.text(sheet.mm(80), doc.parameterFileLine);
    sheet.rule();
    const double valueX = sheet.left() + sheet.mm(70);
    for (const PrintDocument::ParameterLine &line : doc.parameterLines) {
        sheet.text(sheet.left() + sheet.mm(5), line.label);
        sheet.text(valueX, QStringLiteral(":") + line.value);
        sheet.newLine();
    }
}

// Lines the sheet needs at the body size: header, positions, parameters.
double LinesNeeded(const PrintDocument &doc)
{
    double lines = 2;
    if (doc.hasPositions)
        lines += 1 + 1.5 + 1 + 4 * kTableRowLines;  // model, heading, table, gap
    if (doc.hasParameters)
        lines += 2 + doc.parameterLines.size();
    return lines;
}

} // namespace

QFont PrintFont(double pointSize, bool bold, bool italic)
{
    QFont font;
    // Latin letters and digits in DejaVu Sans, Japanese in the Noto CJK
    // font: with the CJK font's own Latin glyphs a PDF loses the digits of
    // its text layer, and searching or copying the sheet would fail.
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("Noto Sans JP")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void SetDocumentHeadings(PrintDocument &doc)
{
    doc.title = LoadText(kTitle);
    doc.positionHeading = LoadText(kPositionHeading);
    doc.parameterHeading = LoadText(kParameterHeading);
    for (size_t c = 0; c < kColumnHeads.size(); ++c)
        doc.columnHeads[c] = LoadText(kColumnHeads[c]);
}

QString ModelLine(const QString &model)
{
    return LoadText(kTypeOfKt) + QStringLiteral(" : ") + model;
}

QString FileCaption(const QString &fileName)
{
    return LoadText(kFileName) + fileName;
}

std::array<PrintDocument::PositionRow, 3> PositionRows(const PositionTable &table,
                                                       const std::optional<LeadAndPulses> &scale)
{
    std::array<PrintDocument::PositionRow, 3> rows;
    AppState model;
    if (scale) {
        model.gDevLead = static_cast<int16_t>(scale->lead);
        model.gDevPPR = static_cast<int16_t>(scale->ppr);
    }
    for (int i = PositionTable::kFirstPosition; i <= PositionTable::kLastPosition; ++i) {
        PrintDocument::PositionRow &row = rows.at(static_cast<size_t>(i - 1));
        row.no = QString::number(i);
        row.vel = table.text(i, PosVel);
        row.acc = table.text(i, PosAcc);
        const double pulses = table.number(i, PosPulse);
        row.pulses = QString::number(static_cast<qint64>(std::llround(pulses)));
        if (scale)
            row.mm = MmCellText(PulseToMm(model, pulses)).trimmed();
        row.comment = table.text(i, PosComment);
    }
    return rows;
}

QList<PrintDocument::ParameterLine> ParameterLines(const ParaArray &values, bool details)
{
    QList<PrintDocument::ParameterLine> lines;
    const int last = details ? ParameterCount : 22;
    for (int n = 1; n <= last; ++n) {
        const int label = n == 21 ? kTypeLabel : ParameterInfoOf(n).labelId;
        lines.append({LoadText(label), ValueText(n, values.at(static_cast<size_t>(n)))});
    }
    return lines;
}

bool RenderPrintDocument(QPagedPaintDevice &device, const PrintDocument &doc)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Everything goes on one page: on a small sheet the text shrinks until
    // every line fits.
    double points = 10;
    for (; points > 5; points -= 0.5) {
        SheetPainter probe(painter, device, points);
        if (LinesNeeded(doc) * probe.pitch() + probe.pitch() <= device.height())
            break;
    }
    SheetPainter sheet(painter, device, points);
    PaintHeader(sheet, doc);
    if (doc.hasPositions)
        PaintPositions(sheet, doc);
    if (doc.hasParameters)
        PaintParameters(sheet, doc);
    return painter.end();
}
