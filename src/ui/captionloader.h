#pragma once

class QObject;
class QWidget;

// Every window carries the string-table IDs of its texts on its controls,
// as dynamic properties set when the window is built:
//   "captionId"  the control's caption (title, label text, button text,
//                menu entry text); 0 or missing keeps the design text
//   "tipId"      the control's tool tip; for a toolbar button the only text
//   "nameId"     the accessible name of a control that shows no text of its
//                own (lamps, pictures, grids)
// SetFormCaption fills them from the table when the window loads.
namespace CaptionProperty {
inline constexpr char CaptionId[] = "captionId";
inline constexpr char TipId[] = "tipId";
inline constexpr char NameId[] = "nameId";
} // namespace CaptionProperty

// Attach the IDs to a control (a widget, a menu or an action).
void SetCaptionId(QObject *control, int captionId);
void SetTipId(QObject *control, int tipId);
void SetNameId(QObject *control, int nameId);
int CaptionIdOf(const QObject *control);
int TipIdOf(const QObject *control);

// Fills every text of one window from the string table in the language of
// this run: the window's title, then every control and action below it.
// It never stops on an error: a control whose ID is missing from the table,
// or that has no text it could receive, keeps its design text.
void SetFormCaption(QWidget *window);
